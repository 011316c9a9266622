#pragma once
// The TWAIN 2.x application interface as this program uses it: base types,
// the records exchanged with the data source manager, and the constants of
// the groups, data types, messages, return codes and capabilities we send or
// read. Written from the published TWAIN standard; the records are packed
// to 2 bytes exactly as the standard lays them out for 32-bit Windows, and
// the sizes that the manager and the sources rely on are checked below.
//
// Shared by the session (src/twain) and the virtual scanner data source
// (tools/virtual-scanner), so it depends on <windows.h> only for the
// calling convention and the handle type.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace twain {

using TW_INT8 = std::int8_t;
using TW_INT16 = std::int16_t;
using TW_INT32 = std::int32_t;
using TW_UINT8 = std::uint8_t;
using TW_UINT16 = std::uint16_t;
using TW_UINT32 = std::uint32_t;
using TW_BOOL = std::uint16_t;
using TW_HANDLE = HANDLE;
using TW_MEMREF = void*;
using TW_UINTPTR = std::uintptr_t;

// Strings are zero-terminated and zero-filled: 32 characters plus 2 bytes.
using TW_STR32 = char[34];
using TW_STR64 = char[66];
using TW_STR128 = char[130];
using TW_STR255 = char[256];

#pragma pack(push, 2)

struct TW_FIX32 {
  TW_INT16 Whole;
  TW_UINT16 Frac;
};

struct TW_FRAME {
  TW_FIX32 Left;
  TW_FIX32 Top;
  TW_FIX32 Right;
  TW_FIX32 Bottom;
};

struct TW_VERSION {
  TW_UINT16 MajorNum;
  TW_UINT16 MinorNum;
  TW_UINT16 Language;
  TW_UINT16 Country;
  TW_STR32 Info;
};

struct TW_IDENTITY {
  TW_UINT32 Id;
  TW_VERSION Version;
  TW_UINT16 ProtocolMajor;
  TW_UINT16 ProtocolMinor;
  TW_UINT32 SupportedGroups;
  TW_STR32 Manufacturer;
  TW_STR32 ProductFamily;
  TW_STR32 ProductName;
};

struct TW_USERINTERFACE {
  TW_BOOL ShowUI;
  TW_BOOL ModalUI;
  TW_HANDLE hParent;
};

struct TW_EVENT {
  TW_MEMREF pEvent;
  TW_UINT16 TWMessage;
};

struct TW_CAPABILITY {
  TW_UINT16 Cap;
  TW_UINT16 ConType;
  TW_HANDLE hContainer;
};

struct TW_ONEVALUE {
  TW_UINT16 ItemType;
  TW_UINT32 Item;
};

struct TW_ENUMERATION {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT32 CurrentIndex;
  TW_UINT32 DefaultIndex;
  TW_UINT8 ItemList[1];
};

struct TW_RANGE {
  TW_UINT16 ItemType;
  TW_UINT32 MinValue;
  TW_UINT32 MaxValue;
  TW_UINT32 StepSize;
  TW_UINT32 DefaultValue;
  TW_UINT32 CurrentValue;
};

struct TW_ARRAY {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT8 ItemList[1];
};

struct TW_IMAGELAYOUT {
  TW_FRAME Frame;
  TW_UINT32 DocumentNumber;
  TW_UINT32 PageNumber;
  TW_UINT32 FrameNumber;
};

struct TW_IMAGEINFO {
  TW_FIX32 XResolution;
  TW_FIX32 YResolution;
  TW_INT32 ImageWidth;
  TW_INT32 ImageLength;
  TW_INT16 SamplesPerPixel;
  TW_INT16 BitsPerSample[8];
  TW_INT16 BitsPerPixel;
  TW_BOOL Planar;
  TW_INT16 PixelType;
  TW_UINT16 Compression;
};

struct TW_PENDINGXFERS {
  TW_UINT16 Count;
  TW_UINT32 EOJ;
};

struct TW_STATUS {
  TW_UINT16 ConditionCode;
  TW_UINT16 Data;
};

struct TW_INFO {
  TW_UINT16 InfoID;
  TW_UINT16 ItemType;
  TW_UINT16 NumItems;
  TW_UINT16 ReturnCode;  // the standard's CondCode shares this field
  TW_UINTPTR Item;
};

struct TW_EXTIMAGEINFO {
  TW_UINT32 NumInfos;
  TW_INFO Info[1];
};

struct TW_CALLBACK {
  TW_MEMREF CallBackProc;
  TW_UINT32 RefCon;
  TW_INT16 Message;
};

#pragma pack(pop)

// The manager's entry point and the memory functions of TW_ENTRYPOINT.
using DSMENTRYPROC = TW_UINT16(WINAPI*)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                        TW_UINT16 msg, TW_MEMREF data);
using DSENTRYPROC = TW_UINT16(WINAPI*)(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                       TW_MEMREF data);
using TWAINCALLBACKPROC = TW_UINT16(WINAPI*)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg,
                                             TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
using DSM_MEMALLOCATE = TW_HANDLE(WINAPI*)(TW_UINT32 size);
using DSM_MEMFREE = void(WINAPI*)(TW_HANDLE handle);
using DSM_MEMLOCK = TW_MEMREF(WINAPI*)(TW_HANDLE handle);
using DSM_MEMUNLOCK = void(WINAPI*)(TW_HANDLE handle);

#pragma pack(push, 2)
struct TW_ENTRYPOINT {
  TW_UINT32 Size;
  DSMENTRYPROC DSM_Entry;
  DSM_MEMALLOCATE DSM_MemAllocate;
  DSM_MEMFREE DSM_MemFree;
  DSM_MEMLOCK DSM_MemLock;
  DSM_MEMUNLOCK DSM_MemUnlock;
};
#pragma pack(pop)

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(TW_IDENTITY) == 156, "TW_IDENTITY must match the standard's 32-bit layout");
static_assert(sizeof(TW_USERINTERFACE) == 8, "TW_USERINTERFACE must match the standard's 32-bit layout");
static_assert(sizeof(TW_EVENT) == 6, "TW_EVENT must match the standard's 32-bit layout");
static_assert(sizeof(TW_IMAGEINFO) == 42, "TW_IMAGEINFO must match the standard's layout");
static_assert(sizeof(TW_ENTRYPOINT) == 24, "TW_ENTRYPOINT must match the standard's 32-bit layout");
static_assert(sizeof(TW_CAPABILITY) == 8, "TW_CAPABILITY must match the standard's 32-bit layout");
static_assert(sizeof(TW_INFO) == 12, "TW_INFO must match the standard's 32-bit layout");
static_assert(sizeof(TW_EXTIMAGEINFO) == 16, "TW_EXTIMAGEINFO must match the standard's 32-bit layout");
static_assert(sizeof(TW_CALLBACK) == 10, "TW_CALLBACK must match the standard's 32-bit layout");
#endif
static_assert(sizeof(TW_ONEVALUE) == 6, "TW_ONEVALUE is 6 bytes");
static_assert(sizeof(TW_RANGE) == 22, "TW_RANGE is 22 bytes");
static_assert(offsetof(TW_ENUMERATION, ItemList) == 14, "enumeration items follow a 14-byte head");
static_assert(offsetof(TW_ARRAY, ItemList) == 6, "array items follow a 6-byte head");
static_assert(sizeof(TW_IMAGELAYOUT) == 28, "TW_IMAGELAYOUT is 28 bytes");
static_assert(sizeof(TW_PENDINGXFERS) == 6, "TW_PENDINGXFERS is 6 bytes");
static_assert(sizeof(TW_STATUS) == 4, "TW_STATUS is 4 bytes");

// Data groups and the SupportedGroups flags.
constexpr TW_UINT32 DG_CONTROL = 0x0001;
constexpr TW_UINT32 DG_IMAGE = 0x0002;
constexpr TW_UINT32 DF_DSM2 = 0x10000000;
constexpr TW_UINT32 DF_APP2 = 0x20000000;
constexpr TW_UINT32 DF_DS2 = 0x40000000;

// Data argument types.
constexpr TW_UINT16 DAT_NULL = 0x0000;
constexpr TW_UINT16 DAT_CAPABILITY = 0x0001;
constexpr TW_UINT16 DAT_EVENT = 0x0002;
constexpr TW_UINT16 DAT_IDENTITY = 0x0003;
constexpr TW_UINT16 DAT_PARENT = 0x0004;
constexpr TW_UINT16 DAT_PENDINGXFERS = 0x0005;
constexpr TW_UINT16 DAT_SETUPMEMXFER = 0x0006;
constexpr TW_UINT16 DAT_STATUS = 0x0008;
constexpr TW_UINT16 DAT_USERINTERFACE = 0x0009;
constexpr TW_UINT16 DAT_XFERGROUP = 0x000a;
constexpr TW_UINT16 DAT_CALLBACK = 0x0010;
constexpr TW_UINT16 DAT_IMAGEINFO = 0x0101;
constexpr TW_UINT16 DAT_IMAGELAYOUT = 0x0102;
constexpr TW_UINT16 DAT_IMAGEMEMXFER = 0x0103;
constexpr TW_UINT16 DAT_IMAGENATIVEXFER = 0x0104;
constexpr TW_UINT16 DAT_IMAGEFILEXFER = 0x0105;
constexpr TW_UINT16 DAT_EXTIMAGEINFO = 0x010b;
constexpr TW_UINT16 DAT_ENTRYPOINT = 0x0403;

// Messages.
constexpr TW_UINT16 MSG_NULL = 0x0000;
constexpr TW_UINT16 MSG_GET = 0x0001;
constexpr TW_UINT16 MSG_GETCURRENT = 0x0002;
constexpr TW_UINT16 MSG_GETDEFAULT = 0x0003;
constexpr TW_UINT16 MSG_GETFIRST = 0x0004;
constexpr TW_UINT16 MSG_GETNEXT = 0x0005;
constexpr TW_UINT16 MSG_SET = 0x0006;
constexpr TW_UINT16 MSG_RESET = 0x0007;
constexpr TW_UINT16 MSG_QUERYSUPPORT = 0x0008;
constexpr TW_UINT16 MSG_XFERREADY = 0x0101;
constexpr TW_UINT16 MSG_CLOSEDSREQ = 0x0102;
constexpr TW_UINT16 MSG_CLOSEDSOK = 0x0103;
constexpr TW_UINT16 MSG_OPENDSM = 0x0301;
constexpr TW_UINT16 MSG_CLOSEDSM = 0x0302;
constexpr TW_UINT16 MSG_OPENDS = 0x0401;
constexpr TW_UINT16 MSG_CLOSEDS = 0x0402;
constexpr TW_UINT16 MSG_USERSELECT = 0x0403;
constexpr TW_UINT16 MSG_DISABLEDS = 0x0501;
constexpr TW_UINT16 MSG_ENABLEDS = 0x0502;
constexpr TW_UINT16 MSG_ENABLEDSUIONLY = 0x0503;
constexpr TW_UINT16 MSG_PROCESSEVENT = 0x0601;
constexpr TW_UINT16 MSG_ENDXFER = 0x0701;
constexpr TW_UINT16 MSG_REGISTER_CALLBACK = 0x0902;

// Return codes.
constexpr TW_UINT16 TWRC_SUCCESS = 0;
constexpr TW_UINT16 TWRC_FAILURE = 1;
constexpr TW_UINT16 TWRC_CHECKSTATUS = 2;
constexpr TW_UINT16 TWRC_CANCEL = 3;
constexpr TW_UINT16 TWRC_DSEVENT = 4;
constexpr TW_UINT16 TWRC_NOTDSEVENT = 5;
constexpr TW_UINT16 TWRC_XFERDONE = 6;
constexpr TW_UINT16 TWRC_ENDOFLIST = 7;
constexpr TW_UINT16 TWRC_INFONOTSUPPORTED = 8;
constexpr TW_UINT16 TWRC_DATANOTAVAILABLE = 9;

// Condition codes.
constexpr TW_UINT16 TWCC_SUCCESS = 0;
constexpr TW_UINT16 TWCC_BUMMER = 1;
constexpr TW_UINT16 TWCC_LOWMEMORY = 2;
constexpr TW_UINT16 TWCC_NODS = 3;
constexpr TW_UINT16 TWCC_OPERATIONERROR = 5;
constexpr TW_UINT16 TWCC_BADCAP = 6;
constexpr TW_UINT16 TWCC_BADPROTOCOL = 9;
constexpr TW_UINT16 TWCC_BADVALUE = 10;
constexpr TW_UINT16 TWCC_SEQERROR = 11;
constexpr TW_UINT16 TWCC_BADDEST = 12;
constexpr TW_UINT16 TWCC_CAPUNSUPPORTED = 13;
constexpr TW_UINT16 TWCC_CAPBADOPERATION = 14;
constexpr TW_UINT16 TWCC_CAPSEQERROR = 15;
constexpr TW_UINT16 TWCC_DENIED = 16;
constexpr TW_UINT16 TWCC_CHECKDEVICEONLINE = 23;

// Container types.
constexpr TW_UINT16 TWON_ARRAY = 3;
constexpr TW_UINT16 TWON_ENUMERATION = 4;
constexpr TW_UINT16 TWON_ONEVALUE = 5;
constexpr TW_UINT16 TWON_RANGE = 6;
constexpr TW_UINT16 TWON_DONTCARE16 = 0xFFFF;

// Item types.
constexpr TW_UINT16 TWTY_INT8 = 0x0000;
constexpr TW_UINT16 TWTY_INT16 = 0x0001;
constexpr TW_UINT16 TWTY_INT32 = 0x0002;
constexpr TW_UINT16 TWTY_UINT8 = 0x0003;
constexpr TW_UINT16 TWTY_UINT16 = 0x0004;
constexpr TW_UINT16 TWTY_UINT32 = 0x0005;
constexpr TW_UINT16 TWTY_BOOL = 0x0006;
constexpr TW_UINT16 TWTY_FIX32 = 0x0007;
constexpr TW_UINT16 TWTY_FRAME = 0x0008;
constexpr TW_UINT16 TWTY_STR32 = 0x0009;
constexpr TW_UINT16 TWTY_STR64 = 0x000a;
constexpr TW_UINT16 TWTY_STR128 = 0x000b;
constexpr TW_UINT16 TWTY_STR255 = 0x000c;
constexpr TW_UINT16 TWTY_HANDLE = 0x000f;

// MSG_QUERYSUPPORT flags.
constexpr TW_UINT32 TWQC_GET = 0x0001;
constexpr TW_UINT32 TWQC_SET = 0x0002;
constexpr TW_UINT32 TWQC_GETDEFAULT = 0x0004;
constexpr TW_UINT32 TWQC_GETCURRENT = 0x0008;
constexpr TW_UINT32 TWQC_RESET = 0x0010;

// Capabilities.
constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001;
constexpr TW_UINT16 ICAP_COMPRESSION = 0x0100;
constexpr TW_UINT16 ICAP_PIXELTYPE = 0x0101;
constexpr TW_UINT16 ICAP_UNITS = 0x0102;
constexpr TW_UINT16 ICAP_XFERMECH = 0x0103;
constexpr TW_UINT16 CAP_FEEDERENABLED = 0x1002;
constexpr TW_UINT16 CAP_FEEDERLOADED = 0x1003;
constexpr TW_UINT16 CAP_SUPPORTEDCAPS = 0x1005;
constexpr TW_UINT16 CAP_AUTOFEED = 0x1007;
constexpr TW_UINT16 CAP_INDICATORS = 0x100b;
constexpr TW_UINT16 CAP_UICONTROLLABLE = 0x100e;
constexpr TW_UINT16 CAP_DEVICEONLINE = 0x100f;
constexpr TW_UINT16 CAP_DUPLEX = 0x1012;
constexpr TW_UINT16 CAP_DUPLEXENABLED = 0x1013;
constexpr TW_UINT16 CAP_MICRENABLED = 0x1038;
constexpr TW_UINT16 ICAP_PHYSICALWIDTH = 0x1111;
constexpr TW_UINT16 ICAP_PHYSICALHEIGHT = 0x1112;
constexpr TW_UINT16 ICAP_XRESOLUTION = 0x1118;
constexpr TW_UINT16 ICAP_YRESOLUTION = 0x1119;
constexpr TW_UINT16 ICAP_PIXELFLAVOR = 0x111f;
constexpr TW_UINT16 ICAP_SUPPORTEDSIZES = 0x1122;
constexpr TW_UINT16 ICAP_BITDEPTH = 0x112b;
constexpr TW_UINT16 ICAP_UNDEFINEDIMAGESIZE = 0x112d;
constexpr TW_UINT16 ICAP_EXTIMAGEINFO = 0x112f;
constexpr TW_UINT16 ICAP_AUTOMATICBORDERDETECTION = 0x1150;

// Extended image information.
constexpr TW_UINT16 TWEI_MAGDATA = 0x1243;

// Capability values.
constexpr TW_UINT16 TWUN_INCHES = 0;
constexpr TW_UINT16 TWUN_CENTIMETERS = 1;
constexpr TW_UINT16 TWUN_MILLIMETERS = 6;
constexpr TW_UINT16 TWPT_BW = 0;
constexpr TW_UINT16 TWPT_GRAY = 1;
constexpr TW_UINT16 TWPT_RGB = 2;
constexpr TW_UINT16 TWPT_PALETTE = 3;
constexpr TW_UINT16 TWPT_INFRARED = 16;
constexpr TW_UINT16 TWPF_CHOCOLATE = 0;
constexpr TW_UINT16 TWPF_VANILLA = 1;
constexpr TW_UINT16 TWDX_NONE = 0;
constexpr TW_UINT16 TWDX_1PASSDUPLEX = 1;
constexpr TW_UINT16 TWDX_2PASSDUPLEX = 2;
constexpr TW_UINT16 TWSS_NONE = 0;
constexpr TW_UINT16 TWSX_NATIVE = 0;
constexpr TW_UINT16 TWLG_USERLOCALE = 0xFFFF;
constexpr TW_UINT16 TWCY_USA = 1;

constexpr TW_BOOL TW_TRUE = 1;
constexpr TW_BOOL TW_FALSE = 0;

}  // namespace twain
