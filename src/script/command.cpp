#include "script/command.h"

#include <cstring>

#include "common/errors.h"
#include "scene/property_table.h"
#include "script/call_man.h"
#include "script/com_list.h"
#include "script/page.h"

namespace kest {

namespace {

// An expression record is at least its 4-byte count; anything shorter left
// in the stream cannot hold one.
constexpr int64_t kMinExprBytes = 4;

int32_t ReadCount(TStream& stream, int64_t bytesEach) {
  int32_t n = ReadInt(stream);
  if (n < 0) throw EReadError();
  RequireRemaining(stream, static_cast<int64_t>(n) * bytesEach);
  return n;
}

}  // namespace

std::unique_ptr<TKestParser>& TFieldValue::Prop(int32_t id) {
  if (id < 0 || id >= kPropertyCount) throw EKestError("no property " + std::to_string(id));
  if (Props.size() <= static_cast<size_t>(id)) Props.resize(static_cast<size_t>(id) + 1);
  return Props[static_cast<size_t>(id)];
}

TCommand::TCommand(TComList& owner, uint8_t id) : FOwner(owner), FId(id), FLayout(CommandLayout(id)) {
  FFields.resize(FLayout->Fields.size());
}

TCommand::~TCommand() = default;

TPage& TCommand::Page() const { return FOwner.Page(); }

TFieldValue& TCommand::Field(std::string_view name) {
  for (size_t i = 0; i < FFields.size(); ++i)
    if (name == FLayout->Fields[i].Name) return FFields[i];
  throw EKestError("no field " + std::string(name) + " in " + FLayout->Name);
}

void TCommand::LoadFromStream(TStream& stream) {
  Indent = ReadInt(stream);
  Skipped = ReadFlag(stream);
  Continue = ReadFlag(stream);
  Line = ReadInt(stream);
  const int32_t version = Page().Version;
  for (size_t i = 0; i < FFields.size(); ++i)
    if (version >= FLayout->Fields[i].SinceVersion) LoadField(stream, FLayout->Fields[i], FFields[i]);
}

void TCommand::SaveToStream(TStream& stream) const {
  WriteInt(stream, Indent);
  WriteFlag(stream, Skipped);
  WriteFlag(stream, Continue);
  WriteInt(stream, Line);
  const int32_t version = Page().Version;
  for (size_t i = 0; i < FFields.size(); ++i)
    if (version >= FLayout->Fields[i].SinceVersion) SaveField(stream, FLayout->Fields[i], FFields[i]);
}

void TCommand::LoadField(TStream& stream, const TFieldLayout& layout, TFieldValue& value) {
  switch (layout.Kind) {
    case TFieldKind::Expr: value.Expr.LoadFromStream(stream); break;
    case TFieldKind::Str: value.Text = ReadStr(stream); break;
    case TFieldKind::Int: value.Int = ReadInt(stream); break;
    case TFieldKind::Byte: value.Int = ReadByte(stream); break;
    case TFieldKind::Data: {
      const int32_t n = ReadCount(stream, 1);
      value.Text.resize(static_cast<size_t>(n));
      ReadExact(stream, value.Text.data(), n);
      break;
    }
    case TFieldKind::ExprList: {
      const int32_t n = ReadCount(stream, kMinExprBytes);
      value.List.clear();
      value.List.resize(static_cast<size_t>(n));
      for (TKestParser& e : value.List) e.LoadFromStream(stream);
      break;
    }
    case TFieldKind::Props: {
      const TPage& page = Page();
      value.Props.clear();
      for (int32_t p = 0; p < kPropertyCount; ++p) {
        if (!page.HasProperty(FId, p)) continue;
        auto e = std::make_unique<TKestParser>();
        e->LoadFromStream(stream);
        value.Prop(p) = std::move(e);
      }
      break;
    }
  }
}

void TCommand::SaveField(TStream& stream, const TFieldLayout& layout, const TFieldValue& value) const {
  switch (layout.Kind) {
    case TFieldKind::Expr: value.Expr.SaveToStream(stream); break;
    case TFieldKind::Str: WriteStr(stream, value.Text); break;
    case TFieldKind::Int: WriteInt(stream, value.Int); break;
    case TFieldKind::Byte: WriteByte(stream, static_cast<uint8_t>(value.Int)); break;
    case TFieldKind::Data:
      WriteInt(stream, static_cast<int32_t>(value.Text.size()));
      WriteExact(stream, value.Text.data(), static_cast<int64_t>(value.Text.size()));
      break;
    case TFieldKind::ExprList:
      WriteInt(stream, static_cast<int32_t>(value.List.size()));
      for (const TKestParser& e : value.List) e.SaveToStream(stream);
      break;
    case TFieldKind::Props: {
      // The page's mask decides what is stored; a slot the command never set
      // is written as an empty expression so the record stays readable.
      static const TKestParser kEmptyExpr;
      const TPage& page = Page();
      for (int32_t p = 0; p < kPropertyCount; ++p) {
        if (!page.HasProperty(FId, p)) continue;
        const TKestParser* e = value.PropOrNull(p);
        (e ? *e : kEmptyExpr).SaveToStream(stream);
      }
      break;
    }
  }
}

void TCommand::Execute(TCallMan& man) {
  man.TraceUnplayed(*this);
  man.SetPc(man.Pc() + 1);
}

void WriteStateTag(TStream& stream) { WriteExact(stream, "kest100", 7); }

int32_t ReadStateTag(TStream& stream) {
  const int64_t start = stream.Position();
  char tag[7];
  if (stream.Read(tag, 7) != 7 || std::memcmp(tag, "kest", 4) != 0) {
    stream.Seek(start);
    return 0;
  }
  int32_t version = 0;
  for (int i = 4; i < 7; ++i) {
    if (tag[i] < '0' || tag[i] > '9') return 0;
    version = version * 10 + (tag[i] - '0');
  }
  return version;
}

}  // namespace kest
