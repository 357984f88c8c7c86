// The configuration held in memory: screen definitions, their field
// definitions, the capture of each host screen, the position index and screen
// image, repeat rules, master copy settings, divided fields and the
// per-session device data.  One store for the process; every subsystem reads
// and changes its tables directly, on the event-loop thread only.
//
// Flags ("16-bit Booleans" in stored files) are bool here; check boxes and
// editor switches are 0/1 in int32 members, as stored.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tervo::config {

constexpr int kMaxFieldIndex = 500;  // fields 0..500 of every screen
constexpr int kFieldSlots = kMaxFieldIndex + 1;
constexpr int kMaxPosition = 2000;  // positions 0..2000 (row * 80 + column)
constexpr int kPositionSlots = kMaxPosition + 1;
constexpr int kMaxTextScreen = 180;  // ScreensText covers screens 0..180
constexpr int kMaxDivision = 2000;   // DivideFields 0..2000
constexpr int kDivisionSlots = kMaxDivision + 1;
constexpr int kSessionSlots = 33;        // session slots 0..32
constexpr int kScreenAspectSize = 2200;  // 25 rows of 80 + CR LF, blank padded
constexpr int kHighestAllocatedScreen = 179;

// Values of ScreenDef::Master.
enum ScreenStatus : std::int32_t {
  kScreenFree = 0,
  kScreenMaster = 1,
  kScreenDefined = 2,
  kScreenCopy = 4,
};

// flag2 bits of a field definition.
enum Flag2Bits : std::int32_t {
  kFlag2Summarized = 1,  // AutoResume
  kFlag2Truncated = 2,   // AutoCut
  kFlag2Scroll = 4,      // AutoScroll
  kFlag2AutoNL = 8,
  kFlag2AddUserId = 16,
  kFlag2SubUserId = 32,
  kFlag2InvertInput = 64,
  kFlag2VarAux = 128,
  // Summarized by whole words (editors::FitWords): what automatic
  // configuration gives labels, with kFlag2Summarized beside it so that the
  // editor shows them as "Summarized".  Applied after the bits above.
  kFlag2Words = 256,
};

// Flag bits of a field definition.
enum FlagBits : std::int32_t {
  kFlagMasterKey = 1,
  kFlagCursorText = 2,
  kFlagNewLineBefore = 4,
  kFlagAutoExit = 8,
  kFlagNoCursorNormal = 16,
  kFlagNoCursorLarge = 32,
  kFlagCursorStart = 64,
};

// UserId bits of a field definition.
enum UserIdBits : std::int32_t {
  kUserIdGetUser = 1,
  kUserIdGetVarAux = 2,
};

struct FieldDef {
  std::int32_t FieldPos = 0;
  std::int32_t Size = 0;
  std::int32_t NewLine = 0;
  std::int32_t Show = 0;
  std::string AuxText;
  std::int32_t SizeTextAux = 0;
  std::int32_t Order = 0;
  std::int32_t Barcode = 0;
  std::int32_t AutoEnter = 0;
  std::int32_t Title = 0;
  std::int32_t Protected = 0;
  std::int32_t InputField = 0;
  std::int32_t SendWithEnter = 0;
  std::int32_t flag2 = 0;
  std::int32_t Flag = 0;
  std::int32_t UserId = 0;
  bool Divided = false;
  std::string JoinField;

  bool operator==(const FieldDef&) const = default;
};

struct ScreenDef {
  std::int32_t ScreenId = 0;
  std::string ScreenIdUser;
  std::int32_t CheckScreenIdUser = 0;
  std::string ScreenIdTerminal;
  std::int32_t CheckScreenIdTerm = 0;
  std::vector<FieldDef> Screen = std::vector<FieldDef>(kFieldSlots);
  std::int32_t FieldScr = 0;
  std::string EscKey;
  std::int32_t Master = kScreenFree;
  std::int32_t MultipleInputFather = 0;
  std::int32_t MasterAux = 0;
  std::int32_t DontSendToTerminal = 0;
  std::string KeysAfterEnter;
  std::array<std::string, 8> TeclasFuncao;     // TeclasFuncao1..8 at [0..7]
  std::array<std::string, 8> TeclasFuncaoVal;  // TeclasFuncaoVal1..8 at [0..7]

  bool operator==(const ScreenDef&) const = default;
};

// One field of a captured host screen, as the display reported it.  Rows
// and columns are 1-based; Size and Length both receive the field's length.
struct CapturedField {
  std::string Text;
  std::int32_t Size = 0;
  bool Protected = false;
  std::int32_t StartRow = 0;
  std::int32_t StartColumn = 0;
  std::int32_t EndRow = 0;
  std::int32_t EndColumn = 0;
  std::int32_t Length = 0;
  bool Underlined = false;
  std::int32_t AType = 0;
  std::int32_t Justify = 0;
  bool Hidden = false;
  bool AutoEnter = false;

  bool operator==(const CapturedField&) const = default;
};

// The capture of the host screen last matched to a screen number: fields
// 0..500 and how many the host reported (Count).
struct ScreenOriginal {
  std::vector<CapturedField> Fields = std::vector<CapturedField>(kFieldSlots);
  std::int32_t Count = 0;

  CapturedField& operator[](int j) { return Fields[static_cast<std::size_t>(j)]; }
  const CapturedField& operator[](int j) const { return Fields[static_cast<std::size_t>(j)]; }
  bool operator==(const ScreenOriginal&) const = default;
};

struct RepeatRule {
  bool Active = false;
  std::string Keys;
  std::string TKeys;
  std::int32_t When = 0;
  std::int32_t Counter = 0;
  std::int32_t Wait = 0;
  std::int32_t CounterVal = 0;
  std::string Keys1;
  std::string Keys2;
  std::int32_t SubCounter1 = 0;
  std::int32_t SubCounter2 = 0;
  std::int32_t IfCounter = 0;

  bool operator==(const RepeatRule&) const = default;
};

struct MasterScreen {
  std::int32_t MoveV = 0;  // 80 down, 1 right, -80 up, -1 left, 0 none
  bool CopyText = false;   // true: copy field texts; false: field settings
  std::int32_t aux1 = 0;
  std::int32_t aux2 = 0;
  std::int32_t aux3 = 0;
  std::int32_t aux4 = 0;
  std::int32_t aux5 = 0;
  bool aux1l = false;
  bool aux2l = false;
  bool aux3l = false;
  bool aux4l = false;  // held in the record, never stored in the file
  bool aux5l = false;

  bool operator==(const MasterScreen&) const = default;
};

struct DividedField {
  std::int32_t ScrNum = 0;
  std::int32_t FieldNum = 0;
  std::int32_t pos = 0;
  std::int32_t Size = 0;
  std::int32_t NewLine = 0;
  std::int32_t Special = 0;

  bool operator==(const DividedField&) const = default;
};

// The store.  Per-screen tables are indexed 0..NumeroMaximoDeEcrans and are
// resized together by GrowScreenTables only; an index outside a table is an
// error of the operation that uses it, never a silent growth.
class ScreenStore {
 public:
  ScreenStore();

  std::int32_t NumeroMaximoDeEcrans = 1;
  std::int32_t ScreenCt = 0;
  std::int32_t DivideFieldsCt = 0;

  std::vector<ScreenDef> Screens;
  std::vector<ScreenOriginal> Originals;          // the ScreenOriginal table
  std::vector<std::vector<std::int32_t>> Indice;  // [screen][position 0..2000]
  std::vector<std::string> ScreenAspect;          // [screen], 2200 characters
  std::vector<RepeatRule> AdvScreens;
  std::vector<MasterScreen> MasterScreens;  // the MasterScreen table

  // [screen 0..180][field 0..500]
  std::vector<std::vector<std::string>> ScreensText;
  std::vector<DividedField> DivideFields;  // 0..2000
  std::array<std::string, kSessionSlots> DeviceName;
  std::array<std::string, kSessionSlots> TerminalIDDef;

  // Size of the per-screen tables (NumeroMaximoDeEcrans may be lower after
  // ClearAllScreens, which does not shrink them).
  int ScreenTableSize() const { return static_cast<int>(Screens.size()); }

  // True when s is a screen number of the per-screen tables now.
  bool ValidScreen(int s) const { return s >= 0 && s < ScreenTableSize(); }
  static bool ValidField(int f) { return f >= 0 && f <= kMaxFieldIndex; }
  static bool ValidPosition(int p) { return p >= 0 && p <= kMaxPosition; }
  static bool ValidTextScreen(int s) { return s >= 0 && s <= kMaxTextScreen; }
  static bool ValidSession(int i) { return i >= 0 && i < kSessionSlots; }
  static bool ValidDivision(int k) { return k >= 0 && k <= kMaxDivision; }

  // Returns screen number s to the free state (see screen_store.cpp for what
  // it keeps).  Does nothing for a number outside the tables.
  void ResetScreenDef(int s);
  // Resizes the per-screen tables to 0..NumeroMaximoDeEcrans, keeping the
  // screens that existed, then resets screen NumeroMaximoDeEcrans.
  void GrowScreenTables();
  // Frees every screen, empties the divided-field table and sets
  // NumeroMaximoDeEcrans back to 1 without shrinking the tables.
  void ClearAllScreens();

  // Returns the store to the state of a newly created one, device data
  // included.  ClearAllScreens keeps field settings, function keys, master
  // settings, field texts and division entries, and the file omits zero and
  // empty values, so loading a second configuration after it leaves parts of
  // the first one behind; loading after ResetToFresh gives exactly what the
  // file holds, as at start-up.
  void ResetToFresh();

  // Checked access for editors and tools: nullptr and *err set when the
  // number is outside the table ("screen 7 is outside 0..5", "screen 181 has
  // no field texts").
  ScreenDef* ScreenAt(int s, std::string* err);
  std::string* ScreensTextAt(int s, int field, std::string* err);
};

}  // namespace tervo::config
