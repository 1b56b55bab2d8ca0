#include "script/command_schema.h"

#include <array>

#include "common/sjis.h"

namespace kest {

namespace {

using namespace layouts;

template <size_t N>
constexpr std::span<const TFieldLayout> F(const TFieldLayout (&fields)[N]) {
  return {fields, N};
}
constexpr std::span<const TFieldLayout> kEmpty{};

const TCommandLayout kCommands[kCommandIdCount] = {
    {0, "If", "IF", F(kCondition)},
    {1, "Elseif", "ELSE IF", F(kCondition)},
    {2, "Else", "ELSE", kEmpty},
    {3, "Label", "ラベル", F(kLabel)},
    {4, "Jump", "ジャンプ", F(kJump)},
    {5, "Call", "コール", F(kCall)},
    {6, "Exit", "リターン", F(kCondition)},
    {7, "Wait", "ウエイト", F(kWait)},
    {8, "BoxNew", "矩形サーフェス作成", F(kProps), LT_BOX},
    {9, "ImgNew", "画像サーフェス作成", F(kProps), LT_IMAGES},
    {10, "MesNew", "メッセージボックス作成", F(kProps), LT_MES},
    {11, "Timer", "タイマー", F(kProps), LT_TIMER},
    {12, "Movie", "ムービー再生", F(kProps), LT_VIDEO},
    {13, "Flip", "フリップ", F(kFlip)},
    {14, "Calc", "計算", F(kCalc)},
    {15, "VarNew", "変数作成", F(kVarNew)},
    {16, "VarDel", "変数削除", F(kVarDel)},
    {17, "GetProp", "プロパティ取得", F(kGetProp)},
    {18, "SetProp", "プロパティ設定", F(kSetProp)},
    {19, "ObjDel", "コンポーネント削除", F(kObject)},
    {20, "TextIns", "テキスト挿入", F(kTextIns)},
    {21, "MovieStop", "メディア停止", F(kMovieStop)},
    {22, "ClrHist", "履歴クリア", kEmpty},
    {23, "Cinema", "シネマサーフェス作成", F(kProps), LT_CINEMA},
    {24, "Caption", "キャプション作成", F(kProps), LT_LABEL},
    {25, "Menu", "メニュー作成", F(kProps), LT_MENU},
    {26, "MenuClose", "メニュークローズ", F(kObject)},
    {27, "Comment", "コメント", F(kComment)},
    {28, "TextClr", "テキストクリア", F(kWindow)},
    {29, "CallHist", "履歴呼出", F(kCallHist)},
    {30, "Button", "ボタン作成", F(kProps), LT_BUTTON},
    {31, "While", "ループ", F(kWhile)},
    {32, "WhileInit", "ループ初期化", F(kWhileInit)},
    {33, "WhileLoop", "ループ再初期化", F(kWhileLoop)},
    {34, "Break", "ループ脱出", F(kBreak)},
    {35, "Continue", "ループ先頭へ", F(kBreak)},
    {36, "ParticleNew", "パーティクルサーフェス作成", F(kProps), LT_PARTICLE},
    {37, "FireNew", "炎サーフェス作成", F(kProps), LT_FIRE},
    {38, "GameSave", "ゲームセーブ", F(kGameSave)},
    {39, "GameLoad", "ゲームロード", F(kGameLoad)},
    {40, "PCReset", "PCリセット", F(kPCReset)},
    {41, "Reset", "リセット", F(kPCReset)},
    {42, "Sound", "サウンド再生", F(kProps), LT_SOUND},
    {43, "EditNew", "エディット作成", F(kProps), LT_EDIT},
    {44, "MemoNew", "メモ作成", F(kProps), LT_MEMO},
    {45, "Terminate", "終了", kEmpty},
    {46, "DoEvent", "DoEvent", kEmpty},
    {47, "ClrRead", "既読クリア", kEmpty},
    {48, "MapImgNew", "選択画像作成", F(kProps), LT_MAPIMG},
    {49, "WaveNew", "ウエーブサーフェス作成", F(kProps), LT_WAVE},
    {50, "TileNew", "タイルサーフェス作成", F(kProps), LT_TILE},
    {51, "SliderNew", "スライダー作成", F(kProps), LT_SLIDER},
    {52, "ScrollbarNew", "スクロールバー作成", F(kProps), LT_SCROLLBAR},
    {53, "GaugeNew", "ゲージ作成", F(kProps), LT_GAUGE},
    {54, "CGCaption", "画像キャプション作成", F(kProps), LT_CGLABEL},
    {55, "MediaPlay", "メディア再生", F(kObject)},
    {56, "PrevMenuNew", "プレビューメニュー作成", F(kProps), LT_PREVMENU},
    {57, "PropMotion", "プロパティモーション", F(kPropMotion)},
    {58, "FormatHist", "履歴書式登録", F(kFormatHist)},
    {59, "SaveCabinet", "キャビネット保存", F(kCabinet)},
    {60, "LoadCabinet", "キャビネット復帰", F(kCabinet)},
};

}  // namespace

bool TCommandLayout::IsComponent() const { return !Fields.empty() && Fields[0].Kind == TFieldKind::Props; }

const TCommandLayout* CommandLayout(int32_t id) { return id >= 0 && id < kCommandIdCount ? &kCommands[id] : nullptr; }

const TCommandLayout* CommandLayoutByName(std::string_view name) {
  for (const TCommandLayout& layout : kCommands)
    if (SameName(layout.Name, name)) return &layout;
  return nullptr;
}

}  // namespace kest
