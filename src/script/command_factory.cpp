#include "script/command_factory.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "script/commands_flip.h"
#include "script/commands_flow.h"
#include "script/commands_history.h"
#include "script/commands_media.h"
#include "script/commands_reset.h"
#include "script/commands_save.h"
#include "script/commands_terminate.h"
#include "script/commands_text.h"

namespace kest {

namespace {

template <class T>
std::unique_ptr<TCommand> Make(TComList& owner, uint8_t id) {
  return std::make_unique<T>(owner, id);
}

}  // namespace

std::unique_ptr<TCommand> CreateCommand(TComList& owner, uint8_t typeByte) {
  const uint8_t id = typeByte & 0x7F;
  switch (id) {
    case ciIf: return Make<TComIf>(owner, id);
    case ciElseif: return Make<TComElseif>(owner, id);
    case ciElse: return Make<TComElse>(owner, id);
    case ciLabel: return Make<TComLabel>(owner, id);
    case ciJump: return Make<TComJump>(owner, id);
    case ciCall: return Make<TComCall>(owner, id);
    case ciExit: return Make<TComExit>(owner, id);
    case ciWait: return Make<TComWait>(owner, id);
    case ciCalc: return Make<TComCalc>(owner, id);
    case ciVarNew: return Make<TComVarNew>(owner, id);
    case ciVarDel: return Make<TComVarDel>(owner, id);
    case ciComment: return Make<TComComment>(owner, id);
    case ciTextIns: return Make<TComTextIns>(owner, id);
    case ciTextClr: return Make<TComTextClr>(owner, id);
    case ciCallHist: return Make<TComCallHist>(owner, id);
    case ciFormatHist: return Make<TComEntryHist>(owner, id);
    case ciClrHist: return Make<TComClrHist>(owner, id);
    case ciClrRead: return Make<TComClrRead>(owner, id);
    case ciWhile: return Make<TComWhile>(owner, id);
    case ciWhileInit: return Make<TComWhileInit>(owner, id);
    case ciWhileLoop: return Make<TComWhileLoop>(owner, id);
    case ciBreak: return Make<TComBreak>(owner, id);
    case ciContinue: return Make<TComContinue>(owner, id);
    case ciDoEvent: return Make<TComDoEvent>(owner, id);
    case ciTerminate: return Make<TComTerminate>(owner, id);
    case ciGameSave: return Make<TComGameSave>(owner, id);
    case ciGameLoad: return Make<TComGameLoad>(owner, id);
    case ciTimer: return Make<TComTimer>(owner, id);
    case ciSound: return Make<TComSound>(owner, id);
    case ciMovieStop: return Make<TComMovieStop>(owner, id);
    case ciMediaPlay: return Make<TComMediaPlay>(owner, id);
    case ciSaveCabinet: return Make<TComCabinetSave>(owner, id);
    case ciLoadCabinet: return Make<TComCabinetLoad>(owner, id);
    case ciGetProp: return Make<TComGetProp>(owner, id);
    case ciSetProp: return Make<TComSetProp>(owner, id);
    case ciObjDel: return Make<TComObjDel>(owner, id);
    case ciPropMotion: return Make<TComPropMotion>(owner, id);
    case ciFlip: return Make<TComFlip>(owner, id);
    case ciPCReset: return Make<TComPCReset>(owner, id);
    case ciReset: return Make<TComReset>(owner, id);
    default: break;
  }
  const TCommandLayout* layout = CommandLayout(id);
  if (!layout) throw EKestError(Utf8ToCp932("不正なコマンド"));
  if (layout->IsComponent()) return Make<TComControl>(owner, id);
  return Make<TCommand>(owner, id);
}

}  // namespace kest
