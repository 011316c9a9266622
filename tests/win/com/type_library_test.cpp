// The type library read back from the DLL: library attributes, ITwainForm's
// members with their DISPIDs in vtable order, the event dispinterface, the
// coclass and the enumerations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/pagewell_h.h"
#include "com_test_support.h"

namespace {

using comtest::Bstr;
using comtest::ComPtr;

enum Kind { Get = INVOKE_PROPERTYGET, Put = INVOKE_PROPERTYPUT, PutRef = INVOKE_PROPERTYPUTREF, Method = INVOKE_FUNC };

struct Member {
  const wchar_t* name;
  DISPID dispid;
  Kind kind;
};

// After IDispatch's seven methods, in this order.
const Member kTwainFormMembers[] = {
    {L"Visible", 201, Get},
    {L"Visible", 201, Put},
    {L"AutoScroll", 202, Get},
    {L"AutoScroll", 202, Put},
    {L"AutoSize", 203, Get},
    {L"AutoSize", 203, Put},
    {L"AxBorderStyle", 204, Get},
    {L"AxBorderStyle", 204, Put},
    {L"Caption", -518, Get},
    {L"Caption", -518, Put},
    {L"Color", -501, Get},
    {L"Color", -501, Put},
    {L"Font", -512, Get},
    {L"Font", -512, Put},
    {L"Font", -512, PutRef},
    {L"KeyPreview", 205, Get},
    {L"KeyPreview", 205, Put},
    {L"PixelsPerInch", 206, Get},
    {L"PixelsPerInch", 206, Put},
    {L"PrintScale", 207, Get},
    {L"PrintScale", 207, Put},
    {L"Scaled", 208, Get},
    {L"Scaled", 208, Put},
    {L"Active", 209, Get},
    {L"DropTarget", 210, Get},
    {L"DropTarget", 210, Put},
    {L"HelpFile", 211, Get},
    {L"HelpFile", 211, Put},
    {L"ScreenSnap", 212, Get},
    {L"ScreenSnap", 212, Put},
    {L"SnapBuffer", 213, Get},
    {L"SnapBuffer", 213, Put},
    {L"DoubleBuffered", 214, Get},
    {L"DoubleBuffered", 214, Put},
    {L"AlignDisabled", 215, Get},
    {L"VisibleDockClientCount", 216, Get},
    {L"Enabled", -514, Get},
    {L"Enabled", -514, Put},
    {L"AboutBox", -552, Method},
    {L"SetLeft", 217, Method},
    {L"SetTop", 218, Method},
    {L"SetWidth", 219, Method},
    {L"SetHeight", 220, Method},
    {L"SetBorder", 221, Method},
    {L"ThumbRows", 222, Get},
    {L"ThumbRows", 222, Put},
    {L"Username", 223, Get},
    {L"Username", 223, Put},
    {L"Password", 224, Get},
    {L"Password", 224, Put},
    {L"UploadStatus", 225, Get},
    {L"AuthenticationType", 226, Get},
    {L"AuthenticationType", 226, Put},
    {L"UploadURL", 227, Get},
    {L"UploadURL", 227, Put},
    {L"SetText", 228, Method},
    {L"SetContainer", 229, Method},
    {L"DebugAlerts", 230, Get},
    {L"DebugAlerts", 230, Put},
    {L"ControlPanelTabs", 231, Get},
    {L"ControlPanelTabs", 231, Put},
    {L"FileFormat", 232, Get},
    {L"FileFormat", 232, Put},
    {L"FileName", 233, Get},
    {L"FileName", 233, Put},
    {L"SetColor", 234, Method},
    {L"MultiImage", 235, Get},
    {L"MultiImage", 235, Put},
    {L"HideElement", 236, Method},
    {L"ShowElement", 237, Method},
    {L"UploadTimeout", 238, Get},
    {L"UploadTimeout", 238, Put},
    {L"RequiredWidth", 239, Get},
    {L"RequiredHeight", 240, Get},
    {L"UploadReturnString", 241, Get},
    {L"SetThumbnails", 242, Method},
    {L"AddFormVar", 243, Method},
    {L"FormTagName", 244, Get},
    {L"FormTagName", 244, Put},
    {L"Version", 245, Get},
    {L"UseInterface", 246, Get},
    {L"UseInterface", 246, Put},
    {L"CloseInterface", 247, Get},
    {L"CloseInterface", 247, Put},
    {L"AbortUpload", 248, Method},
    {L"FileNameExtension", 249, Get},
    {L"PagesSelected", 250, Get},
    {L"PagesSelected", 250, Put},
    {L"PixelType", 251, Get},
    {L"PixelType", 251, Put},
    {L"ResolutionUnits", 252, Get},
    {L"ResolutionUnits", 252, Put},
    {L"DeviceCount", 253, Get},
    {L"DeviceName", 254, Get},
    {L"DeviceName", 254, Put},
    {L"DeviceIndex", 255, Get},
    {L"DeviceIndex", 255, Put},
    {L"Resolution", 256, Get},
    {L"Resolution", 256, Put},
    {L"PageSize", 257, Get},
    {L"PageSize", 257, Put},
    {L"PageSizeUnits", 258, Get},
    {L"PageSizeUnits", 258, Put},
    {L"PageWidth", 259, Get},
    {L"PageWidth", 259, Put},
    {L"PageHeight", 260, Get},
    {L"PageHeight", 260, Put},
    {L"AddText", 261, Get},
    {L"AddText", 261, Put},
    {L"MICREnabled", 262, Get},
    {L"MICREnabled", 262, Put},
    {L"ImageIndex", 263, Get},
    {L"ImageIndex", 263, Put},
    {L"Upload", 264, Method},
    {L"MICRString", 265, Get},
    {L"Clear", 266, Method},
    {L"CustomText1", 267, Get},
    {L"CustomText1", 267, Put},
    {L"CustomText2", 268, Get},
    {L"CustomText2", 268, Put},
    {L"CustomText3", 269, Get},
    {L"CustomText3", 269, Put},
    {L"CustomText4", 270, Get},
    {L"CustomText4", 270, Put},
    {L"CustomText5", 271, Get},
    {L"CustomText5", 271, Put},
    {L"CustomText6", 272, Get},
    {L"CustomText6", 272, Put},
    {L"CustomText7", 273, Get},
    {L"CustomText7", 273, Put},
    {L"CustomText8", 274, Get},
    {L"CustomText8", 274, Put},
    {L"CustomText9", 275, Get},
    {L"CustomText9", 275, Put},
    {L"CustomText10", 276, Get},
    {L"CustomText10", 276, Put},
    {L"SaveLocalSuccess", 277, Get},
    {L"SaveLocalError", 278, Get},
    {L"ImageCount", 279, Get},
    {L"MaxUploadSize", 280, Get},
    {L"MaxUploadSize", 280, Put},
    {L"SaveUploadReturnString", 281, Method},
    {L"UseDuplex", 282, Get},
    {L"UseDuplex", 282, Put},
    {L"PageSizeMode", 283, Get},
    {L"PageSizeMode", 283, Put},
    {L"PageMemoryLimit", 500, Get},
    {L"PageMemoryLimit", 500, Put},
};

class TypeLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadTypeLibEx(comtest::dllPath().c_str(), REGKIND_NONE, library_.put()), S_OK);
  }
  ComPtr<ITypeInfo> info(REFGUID guid) {
    ComPtr<ITypeInfo> result;
    EXPECT_EQ(library_->GetTypeInfoOfGuid(guid, result.put()), S_OK);
    return result;
  }
  std::wstring helpString(ITypeInfo* type, MEMBERID id = MEMBERID_NIL) {
    Bstr text;
    type->GetDocumentation(id, nullptr, text.put(), nullptr, nullptr);
    return std::wstring(text.view());
  }
  // ITwainForm's dispatch description of one member, or nullptr; the caller
  // releases it through dispatch_.
  FUNCDESC* dispatchMember(DISPID id, INVOKEKIND kind) {
    if (!dispatch_) dispatch_ = info(IID_ITwainForm);
    TYPEATTR* attributes = nullptr;
    if (dispatch_->GetTypeAttr(&attributes) != S_OK) return nullptr;
    const UINT functions = attributes->cFuncs;
    dispatch_->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < functions; ++i) {
      FUNCDESC* function = nullptr;
      if (dispatch_->GetFuncDesc(i, &function) != S_OK) continue;
      if (function->memid == id && function->invkind == kind) return function;
      dispatch_->ReleaseFuncDesc(function);
    }
    return nullptr;
  }
  ComPtr<ITypeLib> library_;
  ComPtr<ITypeInfo> dispatch_;
};

TEST_F(TypeLibraryTest, LibraryAttributes) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_Pagewell));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 3);
  EXPECT_EQ(attributes->lcid, 0x0409u);
  library_->ReleaseTLibAttr(attributes);
  Bstr name, help;
  ASSERT_EQ(library_->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(name.view(), L"Pagewell");
  EXPECT_EQ(help.view(), L"Pagewell Library");
}

TEST_F(TypeLibraryTest, TwainFormIsDualWithEveryMemberInVtableOrder) {
  ComPtr<ITypeInfo> dispatch = info(IID_ITwainForm);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(dispatch->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE),
            TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  dispatch->ReleaseTypeAttr(attributes);
  EXPECT_EQ(helpString(dispatch.get()), L"Dispatch interface for TwainForm Control");

  // The vtable side of the dual interface.
  HREFTYPE reference = 0;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &reference), S_OK);
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.put()), S_OK);
  ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
  const size_t count = attributes->cFuncs;
  vtable->ReleaseTypeAttr(attributes);
  ASSERT_EQ(count, std::size(kTwainFormMembers));
  for (size_t i = 0; i < count; ++i) {
    const Member& expected = kTwainFormMembers[i];
    FUNCDESC* function = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(static_cast<UINT>(i), &function), S_OK);
    Bstr name;
    vtable->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
    std::string label(name.view().begin(), name.view().end());
    EXPECT_EQ(name.view(), expected.name) << "slot " << i;
    EXPECT_EQ(function->memid, expected.dispid) << label;
    EXPECT_EQ(function->invkind, static_cast<INVOKEKIND>(expected.kind)) << label;
    EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << label;
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT) << label;
    vtable->ReleaseFuncDesc(function);
  }
}

// A few types that scripts and browsers depend on.
TEST_F(TypeLibraryTest, MemberTypes) {
  struct Case {
    DISPID id;
    INVOKEKIND kind;
    VARTYPE type;
  };
  const Case cases[] = {
      {-512, INVOKE_PROPERTYPUT, VT_PTR},          // Font: IFontDisp*
      {-501, INVOKE_PROPERTYPUT, VT_USERDEFINED},  // Color: OLE_COLOR, see below
      {256, INVOKE_PROPERTYPUT, VT_R8},            // Resolution
      {230, INVOKE_PROPERTYPUT, VT_BOOL},          // DebugAlerts
      {233, INVOKE_PROPERTYPUT, VT_BSTR},          // FileName
      {226, INVOKE_PROPERTYPUT, VT_I4},            // AuthenticationType
  };
  for (const Case& c : cases) {
    FUNCDESC* function = dispatchMember(c.id, c.kind);
    ASSERT_NE(function, nullptr) << c.id;
    ASSERT_EQ(function->cParams, 1);
    EXPECT_EQ(function->lprgelemdescParam[0].tdesc.vt, c.type) << c.id;
    dispatch_->ReleaseFuncDesc(function);
  }
}

// Every colour is stdole's OLE_COLOR, an alias of a 32-bit unsigned value,
// and not a copy of it: property browsers know the colour by stdole's type.
TEST_F(TypeLibraryTest, ColoursAreStdoleOleColor) {
  struct Case {
    const char* what;
    DISPID id;
    INVOKEKIND kind;
    int parameter;  // -1: the value read
  };
  const Case cases[] = {
      {"Color read", -501, INVOKE_PROPERTYGET, -1},
      {"Color written", -501, INVOKE_PROPERTYPUT, 0},
      {"SetColor's Color", 234, INVOKE_FUNC, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FUNCDESC* function = dispatchMember(c.id, c.kind);
    ASSERT_NE(function, nullptr);
    // On the dispatch side a reader's value is the function's own type.
    const TYPEDESC* type = &function->elemdescFunc.tdesc;
    if (c.parameter >= 0) {
      ASSERT_GT(function->cParams, c.parameter);
      type = &function->lprgelemdescParam[c.parameter].tdesc;
    }
    ASSERT_EQ(type->vt, VT_USERDEFINED);
    ComPtr<ITypeInfo> alias;
    ASSERT_EQ(dispatch_->GetRefTypeInfo(type->hreftype, alias.put()), S_OK);
    dispatch_->ReleaseFuncDesc(function);
    Bstr name;
    alias->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), L"OLE_COLOR");
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(alias->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_ALIAS);
    EXPECT_EQ(attributes->tdescAlias.vt, VT_UI4);
    alias->ReleaseTypeAttr(attributes);
    ComPtr<ITypeLib> library;
    UINT index = 0;
    ASSERT_EQ(alias->GetContainingTypeLib(library.put(), &index), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(libraryAttributes->guid, IID_StdOle));
    library->ReleaseTLibAttr(libraryAttributes);
  }
  // Our own library has no type of that name.
  Bstr wanted(L"OLE_COLOR");
  ComPtr<ITypeInfo> own;
  MEMBERID id = 0;
  USHORT found = 1;
  ASSERT_EQ(library_->FindName(wanted.get(), 0, own.put(), &id, &found), S_OK);
  EXPECT_EQ(found, 0);
}

TEST_F(TypeLibraryTest, EventsDispinterface) {
  ComPtr<ITypeInfo> events = info(DIID_ITwainFormEvents);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(events->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cFuncs, 14);
  events->ReleaseTypeAttr(attributes);
  EXPECT_EQ(helpString(events.get()), L"Events interface for TwainForm Control");
  const wchar_t* names[] = {L"OnActivate", L"OnClick", L"OnCreate", L"OnDblClick", L"OnDestroy",
                            L"OnDeactivate", L"OnKeyPress", L"OnPaint", L"OnFinishUpload",
                            L"OnStartUpload", L"OnSelect", L"OnCustomClick", L"OnAcquire", L"OnSaveLocal"};
  for (UINT i = 0; i < 14; ++i) {
    FUNCDESC* function = nullptr;
    ASSERT_EQ(events->GetFuncDesc(i, &function), S_OK);
    Bstr name;
    events->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(function->memid, static_cast<MEMBERID>(201 + i));
    EXPECT_EQ(name.view(), names[i]);
    if (function->memid == 207) {
      // OnKeyPress(short* Key), in and out.
      ASSERT_EQ(function->cParams, 1);
      const ELEMDESC& key = function->lprgelemdescParam[0];
      EXPECT_EQ(key.tdesc.vt, VT_PTR);
      EXPECT_EQ(key.tdesc.lptdesc->vt, VT_I2);
      EXPECT_EQ(key.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT), PARAMFLAG_FIN | PARAMFLAG_FOUT);
    } else {
      EXPECT_EQ(function->cParams, 0);
    }
    events->ReleaseFuncDesc(function);
  }
}

TEST_F(TypeLibraryTest, CoclassWithDefaultInterfaceAndSource) {
  ComPtr<ITypeInfo> coclass = info(CLSID_TwainForm);
  EXPECT_EQ(helpString(coclass.get()), L"Pagewell Control");
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCONTROL);
  ASSERT_EQ(attributes->cImplTypes, 2);
  coclass->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < 2; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> implemented;
    coclass->GetImplTypeFlags(i, &flags);
    coclass->GetRefTypeOfImplType(i, &reference);
    coclass->GetRefTypeInfo(reference, implemented.put());
    ASSERT_EQ(implemented->GetTypeAttr(&attributes), S_OK);
    GUID guid = attributes->guid;
    implemented->ReleaseTypeAttr(attributes);
    bool source = flags & IMPLTYPEFLAG_FSOURCE;
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    EXPECT_TRUE(IsEqualGUID(guid, source ? DIID_ITwainFormEvents : IID_ITwainForm));
  }
}

TEST_F(TypeLibraryTest, Enumerations) {
  struct Enumeration {
    const wchar_t* name;
    std::vector<std::pair<const wchar_t*, int>> members;
  };
  const Enumeration enumerations[] = {
      {L"TxActiveFormBorderStyle", {{L"afbNone", 0}, {L"afbSingle", 1}, {L"afbSunken", 2}, {L"afbRaised", 3}}},
      {L"TxPrintScale", {{L"poNone", 0}, {L"poProportional", 1}, {L"poPrintToFit", 2}}},
      {L"TxMouseButton", {{L"mbLeft", 0}, {L"mbRight", 1}, {L"mbMiddle", 2}}},
  };
  for (const Enumeration& expected : enumerations) {
    ComPtr<ITypeInfo> type;
    MEMBERID id = 0;
    USHORT found = 1;
    Bstr name(expected.name);
    ASSERT_EQ(library_->FindName(name.get(), 0, type.put(), &id, &found), S_OK);
    ASSERT_EQ(found, 1);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(type->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_ENUM);
    ASSERT_EQ(attributes->cVars, expected.members.size());
    type->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < expected.members.size(); ++i) {
      VARDESC* variable = nullptr;
      ASSERT_EQ(type->GetVarDesc(i, &variable), S_OK);
      Bstr memberName;
      type->GetDocumentation(variable->memid, memberName.put(), nullptr, nullptr, nullptr);
      EXPECT_EQ(memberName.view(), expected.members[i].first);
      EXPECT_EQ(variable->lpvarValue->lVal, expected.members[i].second);
      type->ReleaseVarDesc(variable);
    }
  }
}

}  // namespace
