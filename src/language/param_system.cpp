#include "language/param_system.h"

#include <algorithm>
#include <numbers>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_convert.h"
#include "language/param_errors.h"
#include "language/typed_param.h"

namespace kest {
namespace {

constexpr std::string_view kBlanks(
    "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
    "\x1A\x1B\x1C\x1D\x1E\x1F\x20\x00",
    33);

}  // namespace

int32_t TSysValue::AsInt() const {
  switch (Type) {
    case PT_FLOAT: return FloatToInt(Float);
    case PT_STR: return StrToInt(Str);
    default: return Int;
  }
}

long double TSysValue::AsFloat() const {
  switch (Type) {
    case PT_FLOAT: return Float;
    case PT_STR: return StrToFloat(Str);
    default: return Int;
  }
}

bool TSysValue::AsFlag() const {
  switch (Type) {
    case PT_FLOAT: return Float != 0;
    case PT_STR: return StrToFlag(Str);
    default: return Int != 0;
  }
}

std::string TSysValue::AsStr() const {
  switch (Type) {
    case PT_INT: return IntToStr(Int);
    case PT_FLOAT: return FloatToStr(Float);
    case PT_BOOL: return FlagToStr(Int != 0);
    default: return Str;
  }
}

const TSysVarInfo& TParamSystem::Info() const {
  if (FSysId >= kSysVarCount) throw EKestError(ErrInternal());
  return SysVarTable()[FSysId];
}

TCustomParam* TParamSystem::ForwardTarget() const {
  if (!FStore) return nullptr;
  if (FSysId == SV_RESULT) {
    ICallStackHost* host = FStore->Hosts.CallStack;
    return host ? host->ResultValue() : nullptr;
  }
  TParamCollectionItem* item = FStore->FindVar(FStore->TempTarget);
  if (!item || item->Value() == this) return nullptr;
  return item->Value();
}

bool TParamSystem::IsList() const {
  Info();
  switch (FSysId) {
    case SV_PARAMSTR:
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT:
    case SV_MIDIPORTS: return true;
    default: return false;
  }
}

std::string TParamSystem::FontList(bool fixedPitch) const {
  IScreenHost* host = FStore ? FStore->Hosts.Screen : nullptr;
  if (!host) return {};
  std::vector<std::string> names = host->FontNames(fixedPitch);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string fa = FoldName(a);
    const std::string fb = FoldName(b);
    return fa != fb ? fa < fb : a < b;
  });
  std::string text;
  for (const std::string& name : names) text += name + "\r\n";
  // The list is trimmed as a whole of control characters and spaces, which
  // takes the last line break with it.
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

TSysValue TParamSystem::ReadKey(int32_t i) const {
  ISceneHost* scene = FStore ? FStore->Hosts.Scene : nullptr;
  if (!scene || i < 0 || i >= kKeyTableCount) return TSysValue::OfFlag(false);
  if (i == 256) return TSysValue::OfFlag(scene->WheelDown());
  if (i == 257) return TSysValue::OfFlag(scene->WheelUp());
  switch (FSysId) {
    case SV_KEYPUSH: return TSysValue::OfFlag(scene->KeyPush(i));
    case SV_KEYCLICK: return TSysValue::OfFlag(scene->KeyClick(i));
    default: return TSysValue::OfFlag(scene->KeyRepeat(i));
  }
}

TSysValue TParamSystem::ReadElement(int32_t i) const {
  if (!IsList()) return ReadScalar();
  if (FSysId == SV_PARAMSTR) {
    ICallStackHost* host = FStore ? FStore->Hosts.CallStack : nullptr;
    return TSysValue::OfStr(host && i >= 0 && i < host->ParamCount() ? host->ParamStr(i) : std::string());
  }
  if (FSysId == SV_MIDIPORTS) {
    IMidiHost* host = FStore ? FStore->Hosts.Midi : nullptr;
    return TSysValue::OfStr(host && i >= 0 && i < host->MidiPortCount() ? host->MidiPortName(i) : std::string());
  }
  return ReadKey(i);
}

TSysValue TParamSystem::ReadScalar() const {
  const TSysVarInfo& info = Info();
  if (!FStore) return TSysValue{info.Type, 0, 0, {}};
  const TSystemVariableHosts& h = FStore->Hosts;
  auto flag = [](bool b) { return TSysValue::OfFlag(b); };
  auto num = [](int64_t v) { return TSysValue::OfInt(static_cast<int32_t>(static_cast<uint32_t>(v))); };
  auto str = [](std::string s) { return TSysValue::OfStr(std::move(s)); };
  switch (FSysId) {
    case SV_LCLICK: return flag(h.Scene && h.Scene->LeftClick());
    case SV_RCLICK: return flag(h.Scene && h.Scene->RightClick());
    case SV_LPUSH: return flag(h.Scene && h.Scene->LeftPush());
    case SV_RPUSH: return flag(h.Scene && h.Scene->RightPush());
    case SV_MOUSEX: return num(h.Scene ? h.Scene->MouseX() : 0);
    case SV_MOUSEY: return num(h.Scene ? h.Scene->MouseY() : 0);
    case SV_TEXTDELAY: return num(FStore->TextDelay);
    case SV_HISTORYCOUNT: return num(h.History ? h.History->HistoryCount() : 0);
    case SV_PARAMCOUNT: return num(h.CallStack ? h.CallStack->ParamCount() : 0);
    case SV_SENDER: return str(h.CallStack ? h.CallStack->SenderName() : std::string());
    case SV_SCRWIDTH: return num(h.Project ? h.Project->ScreenWidth() : 0);
    case SV_SCRHEIGHT: return num(h.Project ? h.Project->ScreenHeight() : 0);
    case SV_TICKCOUNT: return num(h.Clock ? h.Clock->GameTime : 0);
    case SV_PCTICKCOUNT: return num(FStore->DateClock().TickMilliseconds());
    case SV_UPDATECOUNT: return num(h.Clock ? h.Clock->FrameCount : 0);
    case SV_YEAR: return num(FStore->DateClock().Now().Year);
    case SV_MONTH: return num(FStore->DateClock().Now().Month);
    case SV_DAY: return num(FStore->DateClock().Now().Day);
    case SV_WEEK: return num(FStore->DateClock().Now().Week);
    case SV_HOUR: return num(FStore->DateClock().Now().Hour);
    case SV_MIN: return num(FStore->DateClock().Now().Min);
    case SV_SEC: return num(FStore->DateClock().Now().Sec);
    case SV_FONTS: return str(FontList(false));
    case SV_FIXEDFONTS: return str(FontList(true));
    case SV_FULLSCR: return flag(h.Screen && h.Screen->FullScreen());
    case SV_CURSOR: return str(FStore->CursorName);
    case SV_SELSTR: return str(FStore->SelStr);
    case SV_SELINDEX: return num(FStore->SelIndex);
    case SV_PI: return TSysValue::OfFloat(std::numbers::pi_v<long double>);
    case SV_CGDITHER: return flag(h.Scene && h.Scene->CGDither());
    case SV_1HOUR: return TSysValue::OfFloat(1.0L / 24);
    case SV_1MIN: return TSysValue::OfFloat(1.0L / 1440);
    case SV_1SEC: return TSysValue::OfFloat(1.0L / 86400);
    case SV_DISPLAYMODECOUNT: return num(h.Screen ? h.Screen->DisplayModeCount() : 0);
    case SV_DISPLAYMODEINDEX: return num(h.Screen ? h.Screen->DisplayModeIndex() : 0);
    case SV_TITLE: return str(h.Project ? h.Project->Title() : std::string());
    case SV_SOUNDON: return flag(h.Scene && h.Scene->SoundOn());
    case SV_ACTIVECOMPO: return str(h.Scene ? h.Scene->ActiveCompo() : std::string());
    case SV_HISTORYMAXCOUNT: return num(h.History ? h.History->HistoryMaxCount() : 0);
    case SV_MIDIPORT: return str(h.Midi ? h.Midi->MidiPort() : std::string());
    case SV_WHEELDOWN: return flag(h.Scene && h.Scene->WheelDown());
    case SV_WHEELUP: return flag(h.Scene && h.Scene->WheelUp());
    case SV_STACKCOUNT: return num(h.CallStack ? h.CallStack->StackCount() : 0);
    default: return TSysValue{info.Type, 0, 0, {}};
  }
}

void TParamSystem::Write(const TSysValue& v, bool intRule) {
  const TSysVarInfo& info = Info();
  if (info.ReadOnly || !FStore) return;
  switch (info.Type) {
    case PT_INT: return WriteNative(TSysValue::OfInt(v.AsInt()));
    case PT_BOOL:
      return WriteNative(TSysValue::OfFlag(intRule && v.Type == PT_STR ? StrToInt(v.Str) != 0 : v.AsFlag()));
    case PT_STR: return WriteNative(TSysValue::OfStr(v.AsStr()));
    default: return;
  }
}

void TParamSystem::WriteNative(const TSysValue& v) {
  const TSystemVariableHosts& h = FStore->Hosts;
  const bool b = v.Int != 0;
  switch (FSysId) {
    case SV_LCLICK:
      if (h.Scene) h.Scene->SetLeftClick(b);
      break;
    case SV_RCLICK:
      if (h.Scene) h.Scene->SetRightClick(b);
      break;
    case SV_MOUSEX:
      if (h.Screen) h.Screen->SetCursorX(v.Int);
      break;
    case SV_MOUSEY:
      if (h.Screen) h.Screen->SetCursorY(v.Int);
      break;
    case SV_TEXTDELAY: FStore->TextDelay = v.Int; break;
    case SV_FULLSCR:
      if (h.Screen) h.Screen->SetFullScreen(b);
      break;
    case SV_CURSOR: FStore->CursorName = v.Str; break;
    case SV_SELSTR: FStore->SelStr = v.Str; break;
    case SV_SELINDEX: FStore->SelIndex = v.Int; break;
    case SV_CGDITHER:
      if (h.Scene) h.Scene->SetCGDither(b);
      break;
    case SV_DISPLAYMODEINDEX:
      if (h.Screen) h.Screen->SetDisplayModeIndex(v.Int);
      break;
    case SV_SOUNDON:
      if (h.Scene) h.Scene->SetSoundOn(b);
      break;
    case SV_ACTIVECOMPO:
      if (h.Scene) h.Scene->SetActiveCompo(v.Str);
      break;
    case SV_HISTORYMAXCOUNT:
      if (h.History) h.History->SetHistoryMaxCount(v.Int);
      break;
    case SV_MIDIPORT:
      if (h.Midi) h.Midi->SetMidiPort(v.Str);
      break;
    default: break;
  }
}

int32_t TParamSystem::Count() const {
  if (Forwards()) return Forward(1, [](TCustomParam& t) { return t.Count(); });
  switch (FSysId) {
    case SV_PARAMSTR: return FStore && FStore->Hosts.CallStack ? FStore->Hosts.CallStack->ParamCount() : 0;
    case SV_MIDIPORTS: return FStore && FStore->Hosts.Midi ? FStore->Hosts.Midi->MidiPortCount() : 0;
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT: return kKeyTableCount;
    default: Info(); return 1;
  }
}

void TParamSystem::SetCount(int32_t n) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetCount(n); });
  Info();
}

uint8_t TParamSystem::ParamType() const {
  // @Result has the running page's result kind, whatever value the top
  // frame holds: a called page may have jumped to a page of another kind.
  if (FSysId == SV_RESULT)
    return FStore && FStore->Hosts.CallStack ? FStore->Hosts.CallStack->PageResultType() : uint8_t{PT_NONE};
  if (!Forwards()) return Info().Type;
  return Forward(uint8_t{PT_NONE}, [](TCustomParam& t) { return t.ParamType(); });
}

bool TParamSystem::GetAsFlag() const {
  if (Forwards()) return Forward(false, [](TCustomParam& t) { return t.GetAsFlag(); });
  return ReadScalar().AsFlag();
}

long double TParamSystem::GetAsFloat() const {
  if (Forwards()) return Forward(0.0L, [](TCustomParam& t) { return t.GetAsFloat(); });
  return ReadScalar().AsFloat();
}

int32_t TParamSystem::GetAsInt() const {
  if (Forwards()) return Forward(0, [](TCustomParam& t) { return t.GetAsInt(); });
  return ReadScalar().AsInt();
}

std::string TParamSystem::GetAsStr() const {
  if (Forwards()) return Forward(std::string(), [](TCustomParam& t) { return t.GetAsStr(); });
  return ReadScalar().AsStr();
}

void TParamSystem::SetAsFlag(bool b) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetAsFlag(b); });
  Write(TSysValue::OfFlag(b), true);
}

void TParamSystem::SetAsFloat(long double x) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetAsFloat(x); });
  Write(TSysValue::OfFloat(x), true);
}

void TParamSystem::SetAsInt(int32_t v) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetAsInt(v); });
  Write(TSysValue::OfInt(v), true);
}

void TParamSystem::SetAsStr(std::string_view s) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetAsStr(s); });
  Write(TSysValue::OfStr(std::string(s)), true);
}

int32_t TParamSystem::GetInt(int32_t i) const {
  if (Forwards()) return Forward(0, [&](TCustomParam& t) { return t.GetInt(i); });
  return ReadElement(i).AsInt();
}

void TParamSystem::SetInt(int32_t i, int32_t v) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetInt(i, v); });
  Write(TSysValue::OfInt(v), false);
}

long double TParamSystem::GetFloat(int32_t i) const {
  if (Forwards()) return Forward(0.0L, [&](TCustomParam& t) { return t.GetFloat(i); });
  return ReadElement(i).AsFloat();
}

void TParamSystem::SetFloat(int32_t i, long double x) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetFloat(i, x); });
  Write(TSysValue::OfFloat(x), false);
}

bool TParamSystem::GetFlag(int32_t i) const {
  if (Forwards()) return Forward(false, [&](TCustomParam& t) { return t.GetFlag(i); });
  return ReadElement(i).AsFlag();
}

void TParamSystem::SetFlag(int32_t i, bool b) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetFlag(i, b); });
  Write(TSysValue::OfFlag(b), false);
}

std::string TParamSystem::GetStr(int32_t i) const {
  if (Forwards()) return Forward(std::string(), [&](TCustomParam& t) { return t.GetStr(i); });
  return ReadElement(i).AsStr();
}

void TParamSystem::SetStr(int32_t i, std::string_view s) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetStr(i, s); });
  Write(TSysValue::OfStr(std::string(s)), false);
}

int32_t TParamSystem::DimCount() const {
  if (Forwards()) return Forward(1, [](TCustomParam& t) { return t.DimCount(); });
  Info();
  return 1;
}

int32_t TParamSystem::GetDim(int32_t index) const {
  if (Forwards()) return Forward(1, [&](TCustomParam& t) { return t.GetDim(index); });
  return index == 0 ? Count() : 1;
}

void TParamSystem::AssignRaw(const TCustomParam& other) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.AssignRaw(other); });
  Info();
}

void TParamSystem::SetDims(std::span<const int32_t> sizes) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.SetDims(sizes); });
  Info();
}

void TParamSystem::FillInt(int32_t v) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.FillInt(v); });
  Info();
}

void TParamSystem::FillFloat(long double x) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.FillFloat(x); });
  Info();
}

void TParamSystem::FillFlag(bool b) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.FillFlag(b); });
  Info();
}

void TParamSystem::FillStr(std::string_view s) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.FillStr(s); });
  Info();
}

void TParamSystem::CopyMem(const TCustomParam& other) {
  if (Forwards()) return ForwardWrite([&](TCustomParam& t) { t.CopyMem(other); });
  Info();
}

void TParamSystem::MakeScalar() {
  if (Forwards()) return ForwardWrite([](TCustomParam& t) { t.MakeScalar(); });
  Info();
}

int32_t TParamSystem::IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const {
  if (Forwards()) return Forward(-1, [&](TCustomParam& t) { return t.IndexOfStr(s, caseSensitive, partial); });
  return TCustomParam::IndexOfStr(s, caseSensitive, partial);
}

bool TParamSystem::IsDimensionless() const {
  if (Forwards()) return Forward(true, [](TCustomParam& t) { return t.IsDimensionless(); });
  return true;
}

void TParamSystem::SaveToStream(TStream& stream) const {
  if (Forwards()) {
    if (Forward(false, [&](TCustomParam& t) { return t.SaveToStream(stream), true; })) return;
    // Nothing to stand for: an empty value of the type the record will carry.
    TParamPtr empty = ParamType() == PT_NONE ? nullptr : CreateParam(ParamType());
    return empty ? empty->SaveToStream(stream) : TParamInt().SaveToStream(stream);
  }
  TParamPtr snapshot = CreateParam(Info().Type);
  snapshot->AssignConvert(*this);
  snapshot->SaveToStream(stream);
}

void TParamSystem::LoadFromStream(TStream& stream) {
  if (Forwards()) {
    if (Forward(false, [&](TCustomParam& t) { return t.LoadFromStream(stream), true; })) return;
    return TParamInt().LoadFromStream(stream);
  }
  TParamPtr value = CreateParam(Info().Type);
  value->LoadFromStream(stream);
  AssignConvert(*value);
}

}  // namespace kest
