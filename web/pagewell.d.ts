// Type declarations for pagewell.js (the classic script's global `Pagewell`)
// and pagewell.mjs (its default export and `connect`).
//
// Written by web/declarations/make_declarations.py from pagewell.d.ts.in and
// the control's type library source (src/control/com/pagewell.idl); edit
// those, not this file.

/** What `Pagewell.connect()` is told; without either it tries the session ports in order. */
export interface PagewellConnectOptions {
  /** Only this port of 127.0.0.1. */
  port?: number;
  /** Only this address, e.g. "ws://127.0.0.1:47115/control". */
  url?: string;
}

/** Why a request or a connection failed: every rejection is an Error with one of these codes. */
export type PagewellErrorCode =
  /** The connection was refused, lost or closed; `reconnect()` opens it again. */
  | "PAGEWELL_DISCONNECTED"
  /** Another page of this user has the scanner. */
  | "PAGEWELL_BUSY"
  /** The browser would not open a WebSocket to the address. */
  | "PAGEWELL_UNREACHABLE"
  /** The control refused the request (an unknown member, a failed call, ...). */
  | "PAGEWELL_CONTROL_ERROR";

export interface PagewellError extends Error {
  code: PagewellErrorCode;
}

/** How `pageImage()` and `thumbnail()` draw a page. */
export interface PagewellImageOptions {
  /** Width in pixels: 800 for `pageImage()`, 120 for `thumbnail()` unless given. */
  width?: number;
  /** "png" unless given. */
  type?: "png" | "jpeg";
}

/** The member list the service sends when the connection opens. */
export interface PagewellMemberList {
  /** Each property's access: "r", "w" or "rw". */
  properties: { [name: string]: "r" | "w" | "rw" };
  /** Each method's number of arguments. */
  methods: { [name: string]: number };
  events: string[];
}

/** The events' slots: `pw.OnAcquire = function () { ... }`, as on the ActiveX control. */
export type PagewellEventSlots = {
  [Name in keyof PagewellEventHandlers]: PagewellEventHandlers[Name] | null;
};

/** What the service adds to the control's own members. */
export interface PagewellServiceExtras {
  /** Scans as the Acquire button does; false when the button is disabled. */
  acquire(): Promise<boolean>;
  /** Page `page` (from 1) as an image. */
  pageImage(page: number, options?: PagewellImageOptions): Promise<Blob>;
  /** Page `page` (from 1) as a thumbnail, 120 pixels wide unless `options.width` says otherwise. */
  thumbnail(page: number, options?: PagewellImageOptions): Promise<Blob>;
  /** The file the upload would send with the current settings. */
  output(): Promise<Blob>;
  /** A write that can be awaited (a failed plain assignment goes to the "error" listeners). */
  set<Name extends keyof PagewellWritableProperties>(name: Name, value: PagewellWritableProperties[Name]): Promise<null>;
  /** Another listener for an event, beside its `OnX` slot. */
  on<Name extends keyof PagewellEventHandlers>(name: Name, listener: PagewellEventHandlers[Name]): void;
  /** Failed plain assignments. */
  on(name: "error", listener: (error: PagewellError) => void): void;
  off<Name extends keyof PagewellEventHandlers>(name: Name, listener: PagewellEventHandlers[Name]): void;
  off(name: "error", listener: (error: PagewellError) => void): void;
  /** Ends the session; pending requests reject with "PAGEWELL_DISCONNECTED". */
  close(): void;
  /** Connects again with the same handlers, to a session that starts empty. */
  reconnect(): Promise<PagewellControl>;
  /** The members the service listed when the connection opened. */
  members(): PagewellMemberList;
}

/** The control as a page in a current browser has it. */
export interface PagewellControl extends PagewellControlMembers, PagewellEventSlots, PagewellServiceExtras {}

export interface PagewellLibrary {
  connect(options?: PagewellConnectOptions): Promise<PagewellControl>;
  /** The console session's port, 47115. */
  readonly DEFAULT_PORT: number;
  /** How many ports from DEFAULT_PORT `connect()` tries, one per Windows session. */
  readonly SESSION_PORTS: number;
}

declare const Pagewell: PagewellLibrary;
export default Pagewell;
export declare const connect: PagewellLibrary["connect"];

declare global {
  /** Defined by pagewell.js loaded as a classic script. */
  var Pagewell: PagewellLibrary;
}

// The control's enumerations, by value (their names are in the comments).
/** afbNone = 0, afbSingle = 1, afbSunken = 2, afbRaised = 3 */
export type TxActiveFormBorderStyle = 0 | 1 | 2 | 3;
/** poNone = 0, poProportional = 1, poPrintToFit = 2 */
export type TxPrintScale = 0 | 1 | 2;
/** mbLeft = 0, mbRight = 1, mbMiddle = 2 */
export type TxMouseButton = 0 | 1 | 2;

/** The control's properties and methods, as the service serves them. */
export interface PagewellControlMembers {
  get Visible(): Promise<boolean>;
  set Visible(value: boolean);
  get AutoScroll(): Promise<boolean>;
  set AutoScroll(value: boolean);
  get AutoSize(): Promise<boolean>;
  set AutoSize(value: boolean);
  get AxBorderStyle(): Promise<TxActiveFormBorderStyle>;
  set AxBorderStyle(value: TxActiveFormBorderStyle);
  get Caption(): Promise<string>;
  set Caption(value: string);
  get Color(): Promise<number>;
  set Color(value: number);
  readonly Font: Promise<null>;
  get KeyPreview(): Promise<boolean>;
  set KeyPreview(value: boolean);
  get PixelsPerInch(): Promise<number>;
  set PixelsPerInch(value: number);
  get PrintScale(): Promise<TxPrintScale>;
  set PrintScale(value: TxPrintScale);
  get Scaled(): Promise<boolean>;
  set Scaled(value: boolean);
  readonly Active: Promise<boolean>;
  get DropTarget(): Promise<boolean>;
  set DropTarget(value: boolean);
  get HelpFile(): Promise<string>;
  set HelpFile(value: string);
  get ScreenSnap(): Promise<boolean>;
  set ScreenSnap(value: boolean);
  get SnapBuffer(): Promise<number>;
  set SnapBuffer(value: number);
  get DoubleBuffered(): Promise<boolean>;
  set DoubleBuffered(value: boolean);
  readonly AlignDisabled: Promise<boolean>;
  readonly VisibleDockClientCount: Promise<number>;
  get Enabled(): Promise<boolean>;
  set Enabled(value: boolean);
  AboutBox(): Promise<void>;
  SetLeft(Element: string, Left: number): Promise<number>;
  SetTop(Element: string, Top: number): Promise<number>;
  SetWidth(Element: string, Width: number): Promise<number>;
  SetHeight(Element: string, Height: number): Promise<number>;
  SetBorder(Element: string, Border: number): Promise<number>;
  get ThumbRows(): Promise<number>;
  set ThumbRows(value: number);
  get Username(): Promise<string>;
  set Username(value: string);
  get Password(): Promise<string>;
  set Password(value: string);
  readonly UploadStatus: Promise<number>;
  get AuthenticationType(): Promise<number>;
  set AuthenticationType(value: number);
  get UploadURL(): Promise<string>;
  set UploadURL(value: string);
  SetText(Element: string, Text: string, Index: number): Promise<number>;
  SetContainer(Element: string, Container: string): Promise<number>;
  get DebugAlerts(): Promise<boolean>;
  set DebugAlerts(value: boolean);
  get ControlPanelTabs(): Promise<number>;
  set ControlPanelTabs(value: number);
  get FileFormat(): Promise<string>;
  set FileFormat(value: string);
  get FileName(): Promise<string>;
  set FileName(value: string);
  SetColor(Element: string, Color: number): Promise<number>;
  get MultiImage(): Promise<boolean>;
  set MultiImage(value: boolean);
  HideElement(Element: string): Promise<number>;
  ShowElement(Element: string): Promise<number>;
  get UploadTimeout(): Promise<number>;
  set UploadTimeout(value: number);
  readonly RequiredWidth: Promise<number>;
  readonly RequiredHeight: Promise<number>;
  readonly UploadReturnString: Promise<string>;
  SetThumbnails(Width: number, Height: number, Rows: number): Promise<void>;
  AddFormVar(Name: string, Value: string): Promise<number>;
  get FormTagName(): Promise<string>;
  set FormTagName(value: string);
  readonly Version: Promise<string>;
  get UseInterface(): Promise<boolean>;
  set UseInterface(value: boolean);
  get CloseInterface(): Promise<boolean>;
  set CloseInterface(value: boolean);
  AbortUpload(): Promise<void>;
  readonly FileNameExtension: Promise<string>;
  get PagesSelected(): Promise<number>;
  set PagesSelected(value: number);
  get PixelType(): Promise<number>;
  set PixelType(value: number);
  get ResolutionUnits(): Promise<number>;
  set ResolutionUnits(value: number);
  readonly DeviceCount: Promise<number>;
  get DeviceName(): Promise<string>;
  set DeviceName(value: string);
  get DeviceIndex(): Promise<number>;
  set DeviceIndex(value: number);
  get Resolution(): Promise<number>;
  set Resolution(value: number);
  get PageSize(): Promise<number>;
  set PageSize(value: number);
  get PageSizeUnits(): Promise<number>;
  set PageSizeUnits(value: number);
  get PageWidth(): Promise<number>;
  set PageWidth(value: number);
  get PageHeight(): Promise<number>;
  set PageHeight(value: number);
  get AddText(): Promise<string>;
  set AddText(value: string);
  get MICREnabled(): Promise<boolean>;
  set MICREnabled(value: boolean);
  get ImageIndex(): Promise<number>;
  set ImageIndex(value: number);
  Upload(): Promise<void>;
  readonly MICRString: Promise<string>;
  Clear(): Promise<void>;
  get CustomText1(): Promise<string>;
  set CustomText1(value: string);
  get CustomText2(): Promise<string>;
  set CustomText2(value: string);
  get CustomText3(): Promise<string>;
  set CustomText3(value: string);
  get CustomText4(): Promise<string>;
  set CustomText4(value: string);
  get CustomText5(): Promise<string>;
  set CustomText5(value: string);
  get CustomText6(): Promise<string>;
  set CustomText6(value: string);
  get CustomText7(): Promise<string>;
  set CustomText7(value: string);
  get CustomText8(): Promise<string>;
  set CustomText8(value: string);
  get CustomText9(): Promise<string>;
  set CustomText9(value: string);
  get CustomText10(): Promise<string>;
  set CustomText10(value: string);
  readonly SaveLocalSuccess: Promise<boolean>;
  readonly SaveLocalError: Promise<string>;
  readonly ImageCount: Promise<number>;
  get MaxUploadSize(): Promise<number>;
  set MaxUploadSize(value: number);
  SaveUploadReturnString(FileName: string): Promise<void>;
  get UseDuplex(): Promise<boolean>;
  set UseDuplex(value: boolean);
  get PageSizeMode(): Promise<number>;
  set PageSizeMode(value: number);
  get PageMemoryLimit(): Promise<number>;
  set PageMemoryLimit(value: number);
  get DiscardBlankPages(): Promise<boolean>;
  set DiscardBlankPages(value: boolean);
  readonly BlankPagesDiscarded: Promise<number>;
  IsBlankPage(Index: number): Promise<boolean>;
  get AutoColor(): Promise<number>;
  set AutoColor(value: number);
}

/** The properties a page may write, with the type each takes. */
export interface PagewellWritableProperties {
  Visible: boolean;
  AutoScroll: boolean;
  AutoSize: boolean;
  AxBorderStyle: TxActiveFormBorderStyle;
  Caption: string;
  Color: number;
  KeyPreview: boolean;
  PixelsPerInch: number;
  PrintScale: TxPrintScale;
  Scaled: boolean;
  DropTarget: boolean;
  HelpFile: string;
  ScreenSnap: boolean;
  SnapBuffer: number;
  DoubleBuffered: boolean;
  Enabled: boolean;
  ThumbRows: number;
  Username: string;
  Password: string;
  AuthenticationType: number;
  UploadURL: string;
  DebugAlerts: boolean;
  ControlPanelTabs: number;
  FileFormat: string;
  FileName: string;
  MultiImage: boolean;
  UploadTimeout: number;
  FormTagName: string;
  UseInterface: boolean;
  CloseInterface: boolean;
  PagesSelected: number;
  PixelType: number;
  ResolutionUnits: number;
  DeviceName: string;
  DeviceIndex: number;
  Resolution: number;
  PageSize: number;
  PageSizeUnits: number;
  PageWidth: number;
  PageHeight: number;
  AddText: string;
  MICREnabled: boolean;
  ImageIndex: number;
  CustomText1: string;
  CustomText2: string;
  CustomText3: string;
  CustomText4: string;
  CustomText5: string;
  CustomText6: string;
  CustomText7: string;
  CustomText8: string;
  CustomText9: string;
  CustomText10: string;
  MaxUploadSize: number;
  UseDuplex: boolean;
  PageSizeMode: number;
  PageMemoryLimit: number;
  DiscardBlankPages: boolean;
  AutoColor: number;
}

/** The control's events and the arguments each handler is called with. */
export interface PagewellEventHandlers {
  OnActivate: () => void;
  OnClick: () => void;
  OnCreate: () => void;
  OnDblClick: () => void;
  OnDestroy: () => void;
  OnDeactivate: () => void;
  OnKeyPress: (Key: number) => void;
  OnPaint: () => void;
  OnFinishUpload: () => void;
  OnStartUpload: () => void;
  OnSelect: () => void;
  OnCustomClick: () => void;
  OnAcquire: () => void;
  OnSaveLocal: () => void;
}
