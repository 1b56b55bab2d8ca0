#include "text/glyphs.h"

#include "imaging/pexa_collection.h"
#include "language/kest_parser.h"
#include "text/tp_word.h"

namespace kest {

namespace {

template <class T>
void CopyReal(const T& from, T& to) {
  to.Link = from.Link;
  to.Wait = from.Wait;
  to.Alpha = from.Alpha;
}

}  // namespace

void* TWdGlyph::operator new(size_t, TTpWord& owner, int blockClass) { return owner.Pool().Allocate(blockClass); }

void TWdGlyph::operator delete(void* block, TTpWord& owner, int blockClass) { owner.Pool().Free(block, blockClass); }

void TWdGlyph::operator delete(TWdGlyph* glyph, std::destroying_delete_t) {
  TGlyphPool& pool = glyph->Owner().Pool();
  const int blockClass = glyph->FBlockClass;
  glyph->~TWdGlyph();
  pool.Free(glyph, blockClass);
}

TWdChar::TWdChar(TTpWord& owner, uint16_t code, TDecorate* counted)
    : TWdReal(owner), CharCode(code), FDecoration(counted) {}

TWdChar::~TWdChar() { Owner().Decorations().Release(FDecoration); }

void TWdChar::ChangeDecoration(const TDecorateValues& values) {
  FDecoration = Owner().Decorations().Change(FDecoration, values);
}

std::unique_ptr<TWdGlyph> TWdChar::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdChar>(owner, CharCode, owner.Decorations().Acquire(*FDecoration));
  CopyReal<TWdReal>(*this, *copy);
  return copy;
}

std::unique_ptr<TWdGlyph> TWdVarChar::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdVarChar>(owner, CharCode, owner.Decorations().Acquire(*Decoration()));
  CopyReal<TWdReal>(*this, *copy);
  return copy;
}

TWdImg::~TWdImg() {
  if (Picture && Owner().Pictures) Owner().Pictures->Release(Picture, this);
}

std::unique_ptr<TWdGlyph> TWdImg::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdImg>(owner);
  CopyReal<TWdReal>(*this, *copy);
  copy->Source = Source;
  copy->Align = Align;
  return copy;
}

std::unique_ptr<TWdGlyph> TWdOpeReturn::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdOpeReturn>(owner);
  copy->Clear = Clear;
  return copy;
}

std::unique_ptr<TWdGlyph> TWdVarReturn::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdVarReturn>(owner);
  copy->Clear = Clear;
  return copy;
}

std::unique_ptr<TWdGlyph> TWdOpeAlign::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdOpeAlign>(owner);
  copy->Align = Align;
  return copy;
}

std::unique_ptr<TWdGlyph> TWdOpeIndent::CloneFor(TTpWord& owner) const { return NewGlyph<TWdOpeIndent>(owner); }

std::unique_ptr<TWdGlyph> TWdOpeUndent::CloneFor(TTpWord& owner) const { return NewGlyph<TWdOpeUndent>(owner); }

std::unique_ptr<TWdGlyph> TWdOpeEvent::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdOpeEvent>(owner);
  copy->Value = Value;
  copy->End = End;
  return copy;
}

TWdOpeVar::TWdOpeVar(TTpWord& owner, TDecorate* counted) : TWdGlyph(owner), FDecoration(counted) {}

TWdOpeVar::~TWdOpeVar() {
  // What it inserted may outlive it (deleted one by one): they forget it.
  for (TWdGlyph* g : Produced) {
    if (auto* c = dynamic_cast<TWdVarChar*>(g)) c->Producer = nullptr;
    if (auto* r = dynamic_cast<TWdVarReturn*>(g)) r->Producer = nullptr;
  }
  Owner().Decorations().Release(FDecoration);
}

void TWdOpeVar::CopyInto(TWdOpeVar& copy) const {
  copy.Link = Link;
  copy.Wait = Wait;
  copy.Expression = Expression;
  if (Compiled) {
    copy.Compiled = std::make_unique<TKestParser>();
    copy.Compiled->Assign(*Compiled);
  }
}

std::unique_ptr<TWdGlyph> TWdOpeVar::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdOpeVar>(owner, owner.Decorations().Acquire(*FDecoration));
  CopyInto(*copy);
  return copy;
}

std::unique_ptr<TWdGlyph> TWdOpeHistChar::CloneFor(TTpWord& owner) const {
  auto copy = NewGlyph<TWdOpeHistChar>(owner, owner.Decorations().Acquire(*Decoration()));
  CopyInto(*copy);
  return copy;
}

}  // namespace kest
