#include "text/tp_word.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "common/sjis.h"
#include "text/glyph_stream.h"
#include "text/var_evaluator.h"

namespace kest {

namespace {

TWdOpeVar* ProducerOf(TWdGlyph* g) {
  if (g->Kind() == TGlyphKind::VarChar) return static_cast<TWdVarChar*>(g)->Producer;
  if (g->Kind() == TGlyphKind::VarReturn) return static_cast<TWdVarReturn*>(g)->Producer;
  return nullptr;
}

bool IsVarGlyph(const TWdGlyph* g) { return g->Kind() == TGlyphKind::Var || g->Kind() == TGlyphKind::HistChar; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && uint8_t(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && uint8_t(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The saved value of a name, line breaks back as carriage returns.
std::optional<std::string> SavedValue(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || !SameName(std::string_view(line).substr(0, eq), name)) continue;
    std::string value = line.substr(eq + 1);
    std::replace(value.begin(), value.end(), '\x01', '\r');
    return value;
  }
  return std::nullopt;
}

}  // namespace

TTpWord::TTpWord() = default;

TTpWord::~TTpWord() { FreeGlyphs(); }

void TTpWord::FreeGlyphs() {
  // Every record goes with the glyphs: none is removed one by one.
  FDecorations.KeepUnused(true);
  FGlyphs.clear();
  FDecorations.KeepUnused(false);
  FDecorations.Clear();
}

void TTpWord::Clear() {
  FreeGlyphs();
  FDecorationBase = 0;
  FVarValues.clear();
}

void TTpWord::LoadGlyphs(TStream& stream) { ReadGlyphStream(stream, *this); }

TWdGlyph* TTpWord::Glyph(int32_t index) const {
  return index >= 0 && index < Count() ? FGlyphs[size_t(index)].get() : nullptr;
}

int32_t TTpWord::IndexOf(const TWdGlyph* glyph) const {
  for (size_t i = 0; i < FGlyphs.size(); ++i)
    if (FGlyphs[i].get() == glyph) return static_cast<int32_t>(i);
  return -1;
}

void TTpWord::Insert(int32_t index, std::unique_ptr<TWdGlyph> glyph) {
  index = std::clamp(index, 0, Count());
  FGlyphs.insert(FGlyphs.begin() + index, std::move(glyph));
}

void TTpWord::Delete(int32_t index) {
  TWdGlyph* g = Glyph(index);
  if (!g) return;
  if (TWdOpeVar* producer = ProducerOf(g)) std::erase(producer->Produced, g);
  FGlyphs.erase(FGlyphs.begin() + index);
}

void TTpWord::ExpandVariables(int32_t first, int32_t last, bool asHistory, IVarEvaluator& evaluator) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  for (int32_t i = last; i >= first; --i) {
    const TWdGlyph* g = FGlyphs[size_t(i)].get();
    if (g->Kind() == TGlyphKind::Var || (asHistory && g->Kind() == TGlyphKind::HistChar)) Expand(i, evaluator);
  }
}

void TTpWord::Expand(int32_t index, IVarEvaluator& evaluator) {
  auto& var = static_cast<TWdOpeVar&>(*FGlyphs[size_t(index)]);
  Unexpand(var);
  std::optional<std::string> value;
  if (!var.Expression.empty()) {
    value = SavedValue(FVarValues, var.Expression);
    if (!value && !Trimmed(var.Expression).empty()) value = evaluator.EvaluateText(Trimmed(var.Expression));
  } else if (var.Compiled) {
    value = evaluator.EvaluateCompiled(*var.Compiled);
  }
  if (!value) return;
  var.Expanded = true;
  var.ShownValue = *value;
  std::vector<std::unique_ptr<TWdGlyph>> made;
  const std::string& v = *value;
  for (size_t i = 0; i < v.size(); ++i) {
    const auto b = uint8_t(v[i]);
    if (b == '\r') {
      auto r = NewGlyph<TWdVarReturn>(*this);
      r->Producer = &var;
      made.push_back(std::move(r));
      continue;
    }
    if (b < 0x20) continue;
    uint16_t code = b;
    if (IsLeadByte(b) && i + 1 < v.size()) code = uint16_t(b << 8 | uint8_t(v[++i]));
    FDecorations.AddRef(var.Decoration());
    auto c = NewGlyph<TWdVarChar>(*this, code, var.Decoration());
    c->Link = var.Link;
    c->Wait = var.Wait;
    c->Producer = &var;
    made.push_back(std::move(c));
  }
  for (auto& g : made) var.Produced.push_back(g.get());
  FGlyphs.insert(FGlyphs.begin() + index + 1, std::make_move_iterator(made.begin()),
                 std::make_move_iterator(made.end()));
}

void TTpWord::Unexpand(TWdOpeVar& var) {
  if (var.Produced.empty()) return;
  const std::unordered_set<const TWdGlyph*> gone(var.Produced.begin(), var.Produced.end());
  var.Produced.clear();
  std::erase_if(FGlyphs, [&](const std::unique_ptr<TWdGlyph>& g) { return gone.count(g.get()) > 0; });
}

void TTpWord::RemoveExpansions(int32_t first, int32_t last) {
  std::unordered_set<const TWdGlyph*> gone;
  for (int32_t i = std::max(first, 0); i <= std::min(last, Count() - 1); ++i) {
    TWdGlyph* g = FGlyphs[size_t(i)].get();
    if (!IsVarGlyph(g)) continue;
    auto& var = static_cast<TWdOpeVar&>(*g);
    gone.insert(var.Produced.begin(), var.Produced.end());
    var.Produced.clear();
    var.Expanded = false;
  }
  if (!gone.empty())
    std::erase_if(FGlyphs, [&](const std::unique_ptr<TWdGlyph>& g) { return gone.count(g.get()) > 0; });
}

void TTpWord::CopyGlyphs(const TTpWord& source, int32_t first, int32_t last) {
  // What a copied variable glyph inserted stays its own, so removing the
  // expansion in the copy removes the copies.
  std::unordered_map<const TWdOpeVar*, TWdOpeVar*> vars;
  for (int32_t i = std::max(first, 0); i <= std::min(last, source.Count() - 1); ++i) {
    const TWdGlyph* from = source.FGlyphs[size_t(i)].get();
    std::unique_ptr<TWdGlyph> copy = from->CloneFor(*this);
    if (IsVarGlyph(from)) {
      const auto& var = static_cast<const TWdOpeVar&>(*from);
      auto& made = static_cast<TWdOpeVar&>(*copy);
      made.Expanded = var.Expanded;
      made.ShownValue = var.ShownValue;
      vars[&var] = &made;
    } else if (TWdOpeVar* producer = ProducerOf(const_cast<TWdGlyph*>(from))) {
      if (auto it = vars.find(producer); it != vars.end()) {
        if (copy->Kind() == TGlyphKind::VarChar) static_cast<TWdVarChar&>(*copy).Producer = it->second;
        if (copy->Kind() == TGlyphKind::VarReturn) static_cast<TWdVarReturn&>(*copy).Producer = it->second;
        it->second->Produced.push_back(copy.get());
      }
    }
    FGlyphs.push_back(std::move(copy));
  }
}

void TTpWord::SaveVarValues(int32_t first, int32_t last, std::vector<std::string>& lines) const {
  for (int32_t i = std::max(first, 0); i <= std::min(last, Count() - 1); ++i) {
    const TWdGlyph* g = FGlyphs[size_t(i)].get();
    if (!IsVarGlyph(g)) continue;
    const auto& var = static_cast<const TWdOpeVar&>(*g);
    if (!var.Expanded || var.Expression.empty() || SavedValue(lines, var.Expression)) continue;
    std::string value;
    for (size_t k = 0; k < var.ShownValue.size(); ++k) {
      const char c = var.ShownValue[k];
      if (c == '\r' && k + 1 < var.ShownValue.size() && var.ShownValue[k + 1] == '\n') ++k;
      value += c == '\r' || c == '\n' ? '\x01' : c;
    }
    lines.push_back(var.Expression + "=" + value);
  }
}

}  // namespace kest
