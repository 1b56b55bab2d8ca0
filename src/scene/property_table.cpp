// The property ids scripts store as numbers, with their value types.
// Pages store properties by these numbers, so an id never changes meaning.
#include "scene/property_table.h"

#include <algorithm>
#include <vector>

namespace kest {

namespace {

constexpr uint32_t K(TComponentKind kind) { return uint32_t{1} << kind; }
constexpr TKeptBy kAll{TKeepScope::All, 0};
constexpr TKeptBy kControls{TKeepScope::Controls, 0};
constexpr TKeptBy kNobody{TKeepScope::Nobody, 0};
constexpr TKeptBy Kinds(uint32_t kinds) { return {TKeepScope::Kinds, kinds}; }
constexpr TKeptBy ControlsExcept(uint32_t kinds) { return {TKeepScope::Controls, kinds}; }

// clang-format off
constexpr TPropertyInfo kProperties[kPropertyCount] = {
    {0, "PR_NAME", TPropType::Str, false, "名前", 0, kAll, 0, 0},
    {1, "PR_PARENT", TPropType::Str, false, "親", 0, kControls, 0, 1},
    {2, "PR_SOURCE", TPropType::Str, false, "ソース", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_HTTP) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_PARTICLE) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE) | K(LT_CGLABEL) | K(LT_PREVMENU)), 0, 2},
    {3, "PR_LEFT", TPropType::Int, false, "X座標", 0, kControls, 0, 8},
    {4, "PR_TOP", TPropType::Int, false, "Y座標", 0, kControls, 0, 9},
    {5, "PR_WIDTH", TPropType::Int, false, "幅", 0, kControls, 0, 6},
    {6, "PR_HEIGHT", TPropType::Int, false, "高さ", 0, kControls, 0, 7},
    {7, "PR_ZOOMX", TPropType::Int, false, "ズームX", 256, Kinds(K(LT_BUTTON) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_TILE)), 256, 3},
    {8, "PR_COLOR", TPropType::Int, false, "色", 0xFFFFFF, kControls, -1, 10},
    {9, "PR_BORDERWIDTH", TPropType::Int, false, "枠幅", 0, Kinds(K(LT_BOX) | K(LT_MENU)), 0, 12},
    {10, "PR_BORDERCOLOR", TPropType::Int, false, "枠色", -1, Kinds(K(LT_BOX) | K(LT_MENU)), -1, 13},
    {11, "PR_ALPHA", TPropType::Int, false, "アルファ", 255, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MENU) | K(LT_MES) | K(LT_PARTICLE) | K(LT_VIDEO) | K(LT_MAPIMG) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE) | K(LT_CGLABEL)), 255, 14},
    {12, "PR_PRIORITY", TPropType::Int, false, "プライオリティ", 0, kAll, 0, 15},
    {13, "PR_OFFSETX", TPropType::Int, false, "X中心座標", 0, kControls, 0, 16},
    {14, "PR_OFFSETY", TPropType::Int, false, "Y中心座標", 0, kControls, 0, 17},
    {15, "PR_FONTNAME", TPropType::Str, false, "フォント名", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES)), 0, 20},
    {16, "PR_FONTHEIGHT", TPropType::Int, false, "フォントサイズ", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES)), 16, 21},
    {17, "PR_FONTSTYLE", TPropType::Int, false, "フォントスタイル", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU)), 0, 22},
    {18, "PR_LINESPACE", TPropType::Int, false, "行間", 0, Kinds(K(LT_LABEL) | K(LT_MENU) | K(LT_MES) | K(LT_CGLABEL)), 0, 23},
    {19, "PR_FONTCOLOR", TPropType::Int, false, "フォント色", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES)), 0, 24},
    {20, "PR_FONTLINKCOLOR", TPropType::Int, false, "リンクの色", 0, Kinds(K(LT_MES)), 0, 25},
    {21, "PR_FONTBORDERCOLOR", TPropType::Int, false, "フォントの縁の色", 0, Kinds(K(LT_MENU) | K(LT_MES)), 0, 26},
    {22, "PR_FONTHOVERCOLOR", TPropType::Int, false, "マウスオーバー時のフォント色", 0, Kinds(K(LT_MENU) | K(LT_MES)), 0, 27},
    {23, "PR_FONTHOVERSTYLE", TPropType::Int, false, "マウスオーバー時のフォントスタイル", 0, Kinds(K(LT_MENU)), 0, 28},
    {24, "PR_HOVERCOLOR", TPropType::Int, false, "マウスオーバー時の色", -1, Kinds(K(LT_MENU)), -1, 29},
    {25, "PR_ANTIALIAS", TPropType::Bool, false, "アンチエイリアス", 0, Kinds(K(LT_BUTTON) | K(LT_LABEL) | K(LT_MENU) | K(LT_MES)), 0, 34},
    {26, "PR_DELAY", TPropType::Int, false, "ウエイト", 0, Kinds(K(LT_MENU) | K(LT_MES) | K(LT_TIMER) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_WAVE) | K(LT_GAUGE)), 0, 35},
    {27, "PR_PAUSED", TPropType::Bool, false, "停止", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_EDIT) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES) | K(LT_PARTICLE) | K(LT_TIMER) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_WAVE) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE) | K(LT_CGLABEL) | K(LT_PREVMENU) | K(LT_PROPMOTION)), 0, 36},
    {28, "PR_VOLUME", TPropType::Int, false, "音量", 0, Kinds(K(LT_CINEMA) | K(LT_VIDEO) | K(LT_SOUND)), 1000, 37},
    {29, "PR_REPEAT", TPropType::Bool, false, "リピート", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_TILE)), 0, 38},
    {30, "PR_BALANCE", TPropType::Int, false, "バランス", 0, Kinds(K(LT_VIDEO) | K(LT_SOUND)), 0, 40},
    {31, "PR_ANGLE", TPropType::Int, false, "角度", 0, Kinds(K(LT_BUTTON) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_TILE)), 0, 41},
    {32, "PR_ONPLAYING", TPropType::Str, false, "再生中", 0, Kinds(K(LT_MES)), 0, 42},
    {33, "PR_ONNOTIFY", TPropType::Str, false, "汎用イベント", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_MEMO) | K(LT_MES) | K(LT_TIMER) | K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 43},
    {34, "PR_ONMOUSEMOVE", TPropType::Str, false, "マウス移動", 0, kControls, 0, 44},
    {35, "PR_ONMOUSEOUT", TPropType::Str, false, "マウスアウト", 0, kControls, 0, 45},
    {36, "PR_ONLBTNDOWN", TPropType::Str, false, "左ボタンダウン", 0, kControls, 0, 46},
    {37, "PR_ONLBTNUP", TPropType::Str, false, "左ボタンアップ", 0, kControls, 0, 47},
    {38, "PR_ONRBTNDOWN", TPropType::Str, false, "右ボタンダウン", 0, kControls, 0, 48},
    {39, "PR_ONRBTNUP", TPropType::Str, false, "右ボタンアップ", 0, kControls, 0, 49},
    {40, "PR_ONWHEELDOWN", TPropType::Str, false, "ホイールダウン", 0, kControls, 0, 50},
    {41, "PR_ONWHEELUP", TPropType::Str, false, "ホイールアップ", 0, kControls, 0, 51},
    {42, "PR_BRIGHTNESS", TPropType::Int, false, "明るさ", 255, Kinds(K(LT_BUTTON) | K(LT_IMAGES) | K(LT_MAPIMG) | K(LT_TILE)), 0, 52},
    {43, "PR_ONPLAYEND", TPropType::Str, false, "再生終了", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_HTTP) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MES) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_PREVMENU)), 0, 53},
    {44, "PR_INDEX", TPropType::Int, false, "インデックス", -1, Kinds(K(LT_BUTTON) | K(LT_CINEMA) | K(LT_IMAGES) | K(LT_MENU) | K(LT_MES) | K(LT_PARTICLE) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_TILE)), 0, 54},
    {45, "PR_COUNT", TPropType::Int, false, "カウント", 0, Kinds(K(LT_BUTTON) | K(LT_CINEMA) | K(LT_IMAGES) | K(LT_MENU) | K(LT_MES) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_TILE) | K(LT_PREVMENU)), 0, 55},
    {46, "PR_ONLINK", TPropType::Str, false, "リンク", 0, Kinds(K(LT_MES)), 0, 56},
    {47, "PR_VISIBLE", TPropType::Bool, false, "可視", 0, kControls, 1, 57},
    {48, "PR_COLCOUNT", TPropType::Int, false, "列数", 0, kNobody, 1, 58},
    {49, "PR_ROWCOUNT", TPropType::Int, false, "行数", 0, Kinds(K(LT_MENU)), 1, 59},
    {50, "PR_TEXT", TPropType::Str, false, "テキスト", 0, Kinds(K(LT_BUTTON) | K(LT_EDIT) | K(LT_HTTP) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES) | K(LT_CGLABEL) | K(LT_PREVMENU)), 0, 60},
    {51, "PR_MARGINX", TPropType::Int, false, "左右の余白", 0, Kinds(K(LT_MENU)), 0, 61},
    {52, "PR_MARGINY", TPropType::Int, false, "上下の余白", 0, Kinds(K(LT_MENU)), 0, 62},
    {53, "PR_HALIGN", TPropType::Int, false, "横の揃え", 0, Kinds(K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_CGLABEL)), 0, 63},
    {54, "PR_BORDERSOURCETL", TPropType::Str, false, "枠画像(左上)", 0, Kinds(K(LT_MENU)), 0, -1},
    {55, "PR_BORDERSOURCETC", TPropType::Str, false, "枠画像(上)", 0, Kinds(K(LT_MENU)), 0, -1},
    {56, "PR_BORDERSOURCETR", TPropType::Str, false, "枠画像(右上)", 0, Kinds(K(LT_MENU)), 0, -1},
    {57, "PR_BORDERSOURCECL", TPropType::Str, false, "枠画像(左)", 0, Kinds(K(LT_MENU)), 0, -1},
    {58, "PR_BORDERSOURCECC", TPropType::Str, false, "枠画像(背景)", 0, Kinds(K(LT_MENU)), 0, -1},
    {59, "PR_BORDERSOURCECR", TPropType::Str, false, "枠画像(右)", 0, Kinds(K(LT_MENU)), 0, -1},
    {60, "PR_BORDERSOURCEBL", TPropType::Str, false, "枠画像(左下)", 0, Kinds(K(LT_MENU)), 0, -1},
    {61, "PR_BORDERSOURCEBC", TPropType::Str, false, "枠画像(下)", 0, Kinds(K(LT_MENU)), 0, -1},
    {62, "PR_BORDERSOURCEBR", TPropType::Str, false, "枠画像(右下)", 0, Kinds(K(LT_MENU)), 0, -1},
    {63, "PR_BORDERHALIGNT", TPropType::Int, false, "枠横揃え(上)", 0, Kinds(K(LT_MENU)), 0, -1},
    {64, "PR_BORDERHALIGNC", TPropType::Int, false, "枠横揃え(背景)", 0, Kinds(K(LT_MENU)), 0, -1},
    {65, "PR_BORDERHALIGNB", TPropType::Int, false, "枠横揃え(下)", 0, Kinds(K(LT_MENU)), 0, -1},
    {66, "PR_BORDERVALIGNL", TPropType::Int, false, "枠縦揃え(左)", 0, Kinds(K(LT_MENU)), 0, -1},
    {67, "PR_BORDERVALIGNC", TPropType::Int, false, "枠縦揃え(背景)", 0, Kinds(K(LT_MENU)), 0, -1},
    {68, "PR_BORDERVALIGNR", TPropType::Int, false, "枠縦揃え(右)", 0, Kinds(K(LT_MENU)), 0, -1},
    {69, "PR_SCROLLSOURCE", TPropType::Str, false, "スクロールバー画像", 0, Kinds(K(LT_MENU)), 0, 79},
    {70, "PR_CHECKSOURCE", TPropType::Str, false, "チェック画像", 0, Kinds(K(LT_MENU)), 0, 80},
    {71, "PR_AUTOSCRAP", TPropType::Bool, false, "自動破棄", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MENU) | K(LT_TIMER) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_PREVMENU)), 0, 81},
    {72, "PR_ONSELECT", TPropType::Str, false, "選択", 0, Kinds(K(LT_MENU) | K(LT_MAPIMG) | K(LT_PREVMENU)), 0, 82},
    {73, "PR_RCLICKSCRAP", TPropType::Bool, false, "右クリックで破棄", 0, Kinds(K(LT_MENU) | K(LT_MAPIMG) | K(LT_PREVMENU)), 0, 83},
    {74, "PR_ONOPENING", TPropType::Str, false, "オープン前", 0, Kinds(K(LT_MENU)), 0, 84},
    {75, "PR_ONOPENED", TPropType::Str, false, "オープン後", 0, Kinds(K(LT_MENU)), 0, 85},
    {76, "PR_ONCLOSING", TPropType::Str, false, "クローズ前", 0, Kinds(K(LT_MENU)), 0, 86},
    {77, "PR_ONCLOSED", TPropType::Str, false, "クローズ後", 0, Kinds(K(LT_MENU)), 0, 87},
    {78, "PR_CARETX", TPropType::Int, true, "キャレットX", 0, Kinds(K(LT_MES)), 0, -1},
    {79, "PR_CARETY", TPropType::Int, true, "キャレットY", 0, Kinds(K(LT_MES)), 0, -1},
    {80, "PR_IGNOREMOUSE", TPropType::Int, false, "マウス透過", 0, kControls, 0, 91},
    {81, "PR_TEXTPAUSED", TPropType::Bool, false, "テキスト一時停止", 0, Kinds(K(LT_MES)), 0, 92},
    {82, "PR_TEXTDELAY", TPropType::Int, false, "テキストウエイト率", 256, Kinds(K(LT_MES)), 256, 93},
    {83, "PR_HOVERSOURCE", TPropType::Str, false, "マウスオーバー時の画像", 0, Kinds(K(LT_BUTTON) | K(LT_MAPIMG)), 0, 94},
    {84, "PR_PRESSEDSOURCE", TPropType::Str, false, "押された時の画像", 0, Kinds(K(LT_BUTTON)), 0, 95},
    {85, "PR_GROUPINDEX", TPropType::Int, false, "グループ番号", 0, Kinds(K(LT_BUTTON)), 0, 96},
    {86, "PR_ALLOWALLUP", TPropType::Bool, false, "全解除許可", 0, Kinds(K(LT_BUTTON)), 0, 97},
    {87, "PR_SELECTED", TPropType::Bool, false, "選択", 0, Kinds(K(LT_BUTTON)), 0, 98},
    {88, "PR_CAPTUREMASK", TPropType::Bool, false, "マウス位置をマスクで判断", 0, Kinds(K(LT_BUTTON) | K(LT_IMAGES) | K(LT_VIDEO) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 99},
    {89, "PR_POWER", TPropType::Int, false, "強さ", 0, Kinds(K(LT_FIRE)), 0, 100},
    {90, "PR_ORIGWIDTH", TPropType::Int, false, "元の幅", 0, Kinds(K(LT_BUTTON) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_VIDEO) | K(LT_TILE) | K(LT_CGLABEL)), 0, 101},
    {91, "PR_ORIGHEIGHT", TPropType::Int, false, "元の高さ", 0, Kinds(K(LT_BUTTON) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_MENU) | K(LT_VIDEO) | K(LT_TILE) | K(LT_CGLABEL)), 0, 102},
    {92, "PR_APPEARX", TPropType::Int, false, "X発生座標", 0, kNobody, 0, -1},
    {93, "PR_APPEARY", TPropType::Int, false, "Y発生座標", 0, kNobody, 0, -1},
    {94, "PR_PARTMOTION", TPropType::Int, false, "動作タイプ", 0, Kinds(K(LT_PARTICLE)), 0, 105},
    {95, "PR_PARAM1", TPropType::Float, false, "パラメータ1", 0, Kinds(K(LT_PARTICLE)), 0, 106},
    {96, "PR_PARAM2", TPropType::Float, false, "パラメータ2", 0, Kinds(K(LT_PARTICLE)), 0, 107},
    {97, "PR_TOPINDEX", TPropType::Int, false, "最上部インデックス", 0, Kinds(K(LT_MENU)), 0, 108},
    {98, "PR_READONLY", TPropType::Bool, false, "編集禁止", 0, Kinds(K(LT_EDIT) | K(LT_MEMO)), 0, 109},
    {99, "PR_CURSOR", TPropType::Str, false, "カーソル", 0, kControls, 0, 110},
    {100, "PR_POSZOOMED", TPropType::Bool, false, "ズーム座標", 0, kControls, 0, 5},
    {101, "PR_ONPLAYSTART", TPropType::Str, false, "再生開始", 0, Kinds(K(LT_MES)), 0, 111},
    {102, "PR_PARAM3", TPropType::Float, false, "パラメータ3", 0, Kinds(K(LT_PARTICLE)), 0, 112},
    {103, "PR_ONMOUSEIN", TPropType::Str, false, "マウスイン", 0, kControls, 0, 113},
    {104, "PR_ONMAPIN", TPropType::Str, false, "マップイン", 0, Kinds(K(LT_MENU) | K(LT_MAPIMG) | K(LT_PREVMENU)), 0, 114},
    {105, "PR_ONMAPOUT", TPropType::Str, false, "マップアウト", 0, Kinds(K(LT_MENU) | K(LT_MAPIMG) | K(LT_PREVMENU)), 0, 115},
    {106, "PR_MAPSOURCE", TPropType::Str, false, "マップ", 0, Kinds(K(LT_MAPIMG)), 0, 116},
    {107, "PR_AMP", TPropType::Int, false, "振幅", 0, Kinds(K(LT_WAVE)), 1, 117},
    {108, "PR_WAVELEN", TPropType::Int, false, "波長", 0, Kinds(K(LT_WAVE)), 100, 118},
    {109, "PR_SCROLLX", TPropType::Int, false, "スクロールX", 0, Kinds(K(LT_TILE)), 0, 119},
    {110, "PR_SCROLLY", TPropType::Int, false, "スクロールY", 0, Kinds(K(LT_MES) | K(LT_TILE)), 0, 120},
    {111, "PR_FLIPH", TPropType::Bool, false, "横反転", 0, Kinds(K(LT_BUTTON) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_TILE)), 0, 121},
    {112, "PR_FLIPV", TPropType::Bool, false, "縦反転", 0, Kinds(K(LT_BUTTON) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_TILE)), 0, 122},
    {113, "PR_ONIDLE", TPropType::Str, false, "アイドル", 0, ControlsExcept(K(LT_CABINET)|K(LT_EDIT)|K(LT_MEMO)), 0, 123},
    {114, "PR_DISTANCEX", TPropType::Int, false, "横の間隔", 0, Kinds(K(LT_TILE)), 0, 124},
    {115, "PR_DISTANCEY", TPropType::Int, false, "縦の間隔", 0, Kinds(K(LT_TILE)), 0, 125},
    {116, "PR_CLIPLEFT", TPropType::Int, false, "クリップX", 0, kControls, 0, 126},
    {117, "PR_CLIPTOP", TPropType::Int, false, "クリップY", 0, kControls, 0, 127},
    {118, "PR_CLIPWIDTH", TPropType::Int, false, "クリップ幅", 0, kControls, 0, 128},
    {119, "PR_CLIPHEIGHT", TPropType::Int, false, "クリップ高さ", 0, kControls, 0, 129},
    {120, "PR_DURATION", TPropType::Int, false, "持続時間", 0, Kinds(K(LT_PARTICLE) | K(LT_GAUGE)), 0, 130},
    {121, "PR_THUMBSOURCE", TPropType::Str, false, "つまみ画像", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 131},
    {122, "PR_BUTTONSOURCE", TPropType::Str, false, "ボタン画像", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 132},
    {123, "PR_MIN", TPropType::Int, false, "最小値", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE)), 0, 133},
    {124, "PR_MAX", TPropType::Int, false, "最大値", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE)), 0, 134},
    {125, "PR_VALUE", TPropType::Int, false, "値", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE)), 0, 135},
    {126, "PR_ORIENTATION", TPropType::Int, false, "方向", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE)), 0, 136},
    {127, "PR_SMALLCHANGE", TPropType::Int, false, "変化量", 1, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR)), 1, 137},
    {128, "PR_LARGECHANGE", TPropType::Int, false, "大きい変化量", 1, Kinds(K(LT_SCROLLBAR)), 1, 138},
    {129, "PR_MAPTEXT", TPropType::Str, false, "マップテキスト", 0, Kinds(K(LT_CGLABEL)), 0, 139},
    {130, "PR_GLYPHWIDTH", TPropType::Int, false, "１個の幅", 0, Kinds(K(LT_CGLABEL)), 1, 140},
    {131, "PR_GLYPHHEIGHT", TPropType::Int, false, "１個の高さ", 0, Kinds(K(LT_CGLABEL)), 1, 141},
    {132, "PR_ZOOMY", TPropType::Int, false, "ズームY", 256, Kinds(K(LT_BUTTON) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_VIDEO) | K(LT_TILE)), 256, 4},
    {133, "PR_CLICKEDSOURCE", TPropType::Str, false, "クリック後の画像", 0, Kinds(K(LT_BUTTON)), 0, 142},
    {134, "PR_ANIPAUSED", TPropType::Bool, false, "動画停止", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_EDIT) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES) | K(LT_PARTICLE) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_WAVE) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE) | K(LT_CGLABEL) | K(LT_PREVMENU) | K(LT_CABINET)), 0, 143},
    {135, "PR_ONHOLD", TPropType::Str, false, "ホールド", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 144},
    {136, "PR_ONRELEASE", TPropType::Str, false, "リリース", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR)), 0, 145},
    {137, "PR_REVERSE", TPropType::Bool, false, "逆方向", 0, Kinds(K(LT_GAUGE)), 0, 146},
    {138, "PR_PLAYING", TPropType::Bool, true, "再生中", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_CINEMA) | K(LT_EDIT) | K(LT_FIRE) | K(LT_IMAGES) | K(LT_LABEL) | K(LT_MEMO) | K(LT_MENU) | K(LT_MES) | K(LT_PARTICLE) | K(LT_VIDEO) | K(LT_SOUND) | K(LT_MAPIMG) | K(LT_WAVE) | K(LT_TILE) | K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE) | K(LT_CGLABEL) | K(LT_PREVMENU) | K(LT_PROPMOTION) | K(LT_CABINET)), 0, -1},
    {139, "PR_REWINDONLOAD", TPropType::Bool, false, "ロード時巻き戻し", 0, Kinds(K(LT_CINEMA) | K(LT_VIDEO) | K(LT_SOUND)), 0, 148},
    {140, "PR_COMPOTYPE", TPropType::Int, true, "コンポーネントの種類", 0, kAll, 0, -1},
    {141, "PR_FONTSHADOWCOLOR", TPropType::Int, false, "フォントの影の色", 0, Kinds(K(LT_MENU) | K(LT_MES)), 0, 150},
    {142, "PR_FONTBORDER", TPropType::Int, false, "フォントの縁の幅", 0, Kinds(K(LT_MENU) | K(LT_MES)), 0, 151},
    {143, "PR_FONTSHADOW", TPropType::Int, false, "フォントの影の位置", 0, Kinds(K(LT_MENU) | K(LT_MES)), 0, 152},
    {144, "PR_ONKEYDOWN", TPropType::Str, false, "キーダウン", 0, kControls, 0, 153},
    {145, "PR_ONKEYUP", TPropType::Str, false, "キーアップ", 0, kControls, 0, 154},
    {146, "PR_ONKEYREPEAT", TPropType::Str, false, "キーリピート", 0, kControls, 0, 155},
    {147, "PR_HANDLEKEY", TPropType::Bool, false, "キー処理", 0, kControls, 0, 156},
    {148, "PR_ONFOCUSIN", TPropType::Str, false, "フォーカスイン", 0, kControls, 0, 157},
    {149, "PR_ONFOCUSOUT", TPropType::Str, false, "フォーカスアウト", 0, kControls, 0, 158},
    {150, "PR_OVERLAY", TPropType::Bool, false, "オーバーレイ", 0, Kinds(K(LT_VIDEO)), 1, 159},
    {151, "PR_TAG", TPropType::Str, false, "タグ", 0, kAll, 0, 160},
    {152, "PR_CAPTURELINK", TPropType::Bool, false, "マウス判定をリンク文字のみ", 0, Kinds(K(LT_MES)), 0, 161},
    {153, "PR_FONTHOVERBORDER", TPropType::Int, false, "マウスオーバー時のフォントの縁の幅", 0, Kinds(K(LT_MENU)), 0, 30},
    {154, "PR_FONTHOVERBORDERCOLOR", TPropType::Int, false, "マウスオーバー時のフォントの縁の色", 0, Kinds(K(LT_MENU)), 0, 31},
    {155, "PR_FONTHOVERSHADOW", TPropType::Int, false, "マウスオーバー時のフォントの影の位置", 0, Kinds(K(LT_MENU)), 0, 32},
    {156, "PR_FONTHOVERSHADOWCOLOR", TPropType::Int, false, "マウスオーバー時のフォントの影の色", 0, Kinds(K(LT_MENU)), 0, 33},
    {157, "PR_BARSIZE", TPropType::Int, false, "バーの長さ", 0, Kinds(K(LT_SLIDER) | K(LT_SCROLLBAR) | K(LT_GAUGE)), 0, 11},
    {158, "PR_MUTEONLOAD", TPropType::Bool, false, "ロード時ミュート", 0, Kinds(K(LT_CINEMA) | K(LT_VIDEO) | K(LT_SOUND)), 0, 162},
    {159, "PR_PLUSX", TPropType::Int, false, "X座標加算値", 0, kControls, 0, -1},
    {160, "PR_PLUSY", TPropType::Int, false, "Y座標加算値", 0, kControls, 0, -1},
    {161, "PR_CARETHEIGHT", TPropType::Int, true, "キャレットの高さ", 0, Kinds(K(LT_MES)), 0, -1},
    {162, "PR_REPEATPOS", TPropType::Int, false, "リピート位置", 0, Kinds(K(LT_SOUND)), 0, 39},
    {163, "PR_BLURSPAN", TPropType::Int, false, "残像発生時間", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_IMAGES) | K(LT_VIDEO) | K(LT_TILE)), 0, 163},
    {164, "PR_BLURDELAY", TPropType::Int, false, "残像消滅時間", 0, Kinds(K(LT_BOX) | K(LT_BUTTON) | K(LT_IMAGES) | K(LT_VIDEO) | K(LT_TILE)), 0, 164},
};
// clang-format on

}  // namespace

bool TKeptBy::Keeps(TComponentKind kind, bool isControl) const {
  switch (Scope) {
    case TKeepScope::All: return true;
    case TKeepScope::Controls: return isControl && (Kinds & K(kind)) == 0;
    case TKeepScope::Kinds: return (Kinds & K(kind)) != 0;
    case TKeepScope::Nobody: break;
  }
  return false;
}

const TPropertyInfo* PropertyInfo(int32_t id) { return id >= 0 && id < kPropertyCount ? &kProperties[id] : nullptr; }

std::span<const TPropertyInfo> Properties() { return kProperties; }

std::span<const int32_t> CreationOrder() {
  static const std::vector<int32_t> order = [] {
    std::vector<int32_t> ids;
    for (const TPropertyInfo& info : kProperties)
      if (info.ApplyRank >= 0) ids.push_back(info.Id);
    std::sort(ids.begin(), ids.end(),
              [](int32_t a, int32_t b) { return kProperties[a].ApplyRank < kProperties[b].ApplyRank; });
    return ids;
  }();
  return order;
}

}  // namespace kest
