#include "triplet_names.h"

#include <cstdio>
#include <map>

namespace pagewell_scan {

using namespace twain;

namespace {

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

std::string Lookup(const std::map<unsigned, const char*>& names, unsigned value) {
  const auto found = names.find(value);
  return found != names.end() ? found->second : Hex(value);
}

}  // namespace

std::string TripletName(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
  static const std::map<unsigned, const char*> groups = {{DG_CONTROL, "DG_CONTROL"}, {DG_IMAGE, "DG_IMAGE"}};
  static const std::map<unsigned, const char*> dats = {
      {DAT_NULL, "DAT_NULL"},
      {DAT_CAPABILITY, "DAT_CAPABILITY"},
      {DAT_EVENT, "DAT_EVENT"},
      {DAT_IDENTITY, "DAT_IDENTITY"},
      {DAT_PARENT, "DAT_PARENT"},
      {DAT_PENDINGXFERS, "DAT_PENDINGXFERS"},
      {DAT_STATUS, "DAT_STATUS"},
      {DAT_USERINTERFACE, "DAT_USERINTERFACE"},
      {DAT_CALLBACK, "DAT_CALLBACK"},
      {DAT_IMAGEINFO, "DAT_IMAGEINFO"},
      {DAT_IMAGELAYOUT, "DAT_IMAGELAYOUT"},
      {DAT_IMAGENATIVEXFER, "DAT_IMAGENATIVEXFER"},
      {DAT_EXTIMAGEINFO, "DAT_EXTIMAGEINFO"},
      {DAT_ENTRYPOINT, "DAT_ENTRYPOINT"},
  };
  static const std::map<unsigned, const char*> msgs = {
      {MSG_NULL, "MSG_NULL"},
      {MSG_GET, "MSG_GET"},
      {MSG_GETCURRENT, "MSG_GETCURRENT"},
      {MSG_GETDEFAULT, "MSG_GETDEFAULT"},
      {MSG_GETFIRST, "MSG_GETFIRST"},
      {MSG_GETNEXT, "MSG_GETNEXT"},
      {MSG_SET, "MSG_SET"},
      {MSG_RESET, "MSG_RESET"},
      {MSG_QUERYSUPPORT, "MSG_QUERYSUPPORT"},
      {MSG_XFERREADY, "MSG_XFERREADY"},
      {MSG_CLOSEDSREQ, "MSG_CLOSEDSREQ"},
      {MSG_CLOSEDSOK, "MSG_CLOSEDSOK"},
      {MSG_OPENDSM, "MSG_OPENDSM"},
      {MSG_CLOSEDSM, "MSG_CLOSEDSM"},
      {MSG_OPENDS, "MSG_OPENDS"},
      {MSG_CLOSEDS, "MSG_CLOSEDS"},
      {MSG_USERSELECT, "MSG_USERSELECT"},
      {MSG_DISABLEDS, "MSG_DISABLEDS"},
      {MSG_ENABLEDS, "MSG_ENABLEDS"},
      {MSG_PROCESSEVENT, "MSG_PROCESSEVENT"},
      {MSG_ENDXFER, "MSG_ENDXFER"},
      {MSG_REGISTER_CALLBACK, "MSG_REGISTER_CALLBACK"},
  };
  return Lookup(groups, dg) + " / " + Lookup(dats, dat) + " / " + Lookup(msgs, msg);
}

std::string ReturnCodeName(TW_UINT16 rc) {
  static const std::map<unsigned, const char*> names = {
      {TWRC_SUCCESS, "TWRC_SUCCESS"},     {TWRC_FAILURE, "TWRC_FAILURE"},   {TWRC_CHECKSTATUS, "TWRC_CHECKSTATUS"},
      {TWRC_CANCEL, "TWRC_CANCEL"},       {TWRC_DSEVENT, "TWRC_DSEVENT"},   {TWRC_NOTDSEVENT, "TWRC_NOTDSEVENT"},
      {TWRC_XFERDONE, "TWRC_XFERDONE"},   {TWRC_ENDOFLIST, "TWRC_ENDOFLIST"},
      {TWRC_INFONOTSUPPORTED, "TWRC_INFONOTSUPPORTED"}, {TWRC_DATANOTAVAILABLE, "TWRC_DATANOTAVAILABLE"},
  };
  return Lookup(names, rc);
}

std::string CapabilityName(TW_UINT16 cap) {
  static const std::map<unsigned, const char*> names = {
      {CAP_XFERCOUNT, "CAP_XFERCOUNT"},
      {ICAP_PIXELTYPE, "ICAP_PIXELTYPE"},
      {ICAP_UNITS, "ICAP_UNITS"},
      {ICAP_XFERMECH, "ICAP_XFERMECH"},
      {CAP_FEEDERENABLED, "CAP_FEEDERENABLED"},
      {CAP_AUTOFEED, "CAP_AUTOFEED"},
      {CAP_INDICATORS, "CAP_INDICATORS"},
      {CAP_UICONTROLLABLE, "CAP_UICONTROLLABLE"},
      {CAP_DEVICEONLINE, "CAP_DEVICEONLINE"},
      {CAP_DUPLEX, "CAP_DUPLEX"},
      {CAP_DUPLEXENABLED, "CAP_DUPLEXENABLED"},
      {CAP_MICRENABLED, "CAP_MICRENABLED"},
      {ICAP_PHYSICALWIDTH, "ICAP_PHYSICALWIDTH"},
      {ICAP_PHYSICALHEIGHT, "ICAP_PHYSICALHEIGHT"},
      {ICAP_XRESOLUTION, "ICAP_XRESOLUTION"},
      {ICAP_YRESOLUTION, "ICAP_YRESOLUTION"},
      {ICAP_PIXELFLAVOR, "ICAP_PIXELFLAVOR"},
      {ICAP_SUPPORTEDSIZES, "ICAP_SUPPORTEDSIZES"},
      {ICAP_BITDEPTH, "ICAP_BITDEPTH"},
      {ICAP_UNDEFINEDIMAGESIZE, "ICAP_UNDEFINEDIMAGESIZE"},
      {ICAP_EXTIMAGEINFO, "ICAP_EXTIMAGEINFO"},
      {ICAP_AUTOMATICBORDERDETECTION, "ICAP_AUTOMATICBORDERDETECTION"},
  };
  return Lookup(names, cap);
}

}  // namespace pagewell_scan
