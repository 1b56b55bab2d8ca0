#include "scene/components/map_file.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/stream.h"

namespace kest {

namespace {

using TPoint = std::pair<int32_t, int32_t>;

// What the edge from a to b adds to the winding number around (px, py): one
// going up with the point on its left, minus one going down with the point
// on its right.
int EdgeWinding(TPoint a, TPoint b, double px, double py) {
  const auto [x0, y0] = a;
  const auto [x1, y1] = b;
  const double cross = (double(x1) - x0) * (py - y0) - (px - x0) * (double(y1) - y0);
  if (y0 <= py && y1 > py && cross > 0) return 1;
  if (y0 > py && y1 <= py && cross < 0) return -1;
  return 0;
}

// Appends the runs of a row where the winding number, built up from its
// changes at each column of the box, is not zero.
void AppendRuns(std::vector<TMapSpan>& spans, int32_t y, const TRect& box, const std::vector<int32_t>& change) {
  int32_t winding = 0;
  int32_t start = box.Left;
  bool inside = false;
  for (int32_t x = box.Left; x < box.Right; ++x) {
    winding += change[size_t(x - box.Left)];
    if ((winding != 0) == inside) continue;
    inside = !inside;
    if (inside)
      start = x;
    else
      spans.push_back({y, start, x});
  }
  if (inside) spans.push_back({y, start, box.Right});
}

}  // namespace

bool TMapRegion::Contains(int32_t x, int32_t y) const {
  switch (Shape) {
    case Rectangle: return x >= Left && x <= Right && y >= Top && y <= Bottom;
    case Ellipse: {
      // The ellipse inscribed in the inclusive corners, tested at pixel centres.
      const double cx = (double(Left) + Right + 1) / 2.0;
      const double cy = (double(Top) + Bottom + 1) / 2.0;
      const double rx = (double(Right) - Left + 1) / 2.0;
      const double ry = (double(Bottom) - Top + 1) / 2.0;
      if (rx <= 0 || ry <= 0) return false;
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      return dx * dx + dy * dy <= 1.0;
    }
    case Polygon: break;
  }
  // The winding number around the pixel's centre: not zero is inside.
  const double px = x + 0.5;
  const double py = y + 0.5;
  int winding = 0;
  const size_t n = Points.size();
  for (size_t i = 0; i < n; ++i) winding += EdgeWinding(Points[i], Points[(i + 1) % n], px, py);
  return winding != 0;
}

std::vector<TMapSpan> TMapRegion::Spans(int32_t width, int32_t height) const {
  std::vector<TMapSpan> spans;
  const TRect box = IntersectRect(Bounds(), {0, 0, std::max(width, 0), std::max(height, 0)});
  if (box.IsEmpty()) return spans;
  if (Shape == Rectangle) {
    for (int32_t y = box.Top; y < box.Bottom; ++y) spans.push_back({y, box.Left, box.Right});
    return spans;
  }
  std::vector<int32_t> change(size_t(box.Width()) + 1);
  const size_t n = Points.size();
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    std::fill(change.begin(), change.end(), 0);
    if (Shape == Ellipse) {
      for (int32_t x = box.Left; x < box.Right; ++x) change[size_t(x - box.Left)] = Contains(x, y) ? 1 : 0;
      for (size_t x = change.size() - 1; x > 0; --x) change[x] -= change[x - 1];
      AppendRuns(spans, y, box, change);
      continue;
    }
    const double py = y + 0.5;
    for (size_t i = 0; i < n; ++i) {
      const TPoint a = Points[i];
      const TPoint b = Points[(i + 1) % n];
      const int dir = a.second <= py && b.second > py ? 1 : a.second > py && b.second <= py ? -1 : 0;
      if (dir == 0) continue;
      // The edge counts for the pixels left of where it crosses the row:
      // found from the crossing, then settled by the point test itself.
      const double cross = a.first + (double(b.first) - a.first) * (py - a.second) / (double(b.second) - a.second);
      auto end = static_cast<int32_t>(std::clamp(std::ceil(cross - 0.5), double(box.Left), double(box.Right)));
      while (end > box.Left && EdgeWinding(a, b, end - 0.5, py) == 0) --end;
      while (end < box.Right && EdgeWinding(a, b, end + 0.5, py) != 0) ++end;
      change[0] += dir;
      change[size_t(end - box.Left)] -= dir;
    }
    AppendRuns(spans, y, box, change);
  }
  return spans;
}

TRect TMapRegion::Bounds() const {
  if (Shape != Polygon) return {Left, Top, SaturatedAdd(Right, 1), SaturatedAdd(Bottom, 1)};
  if (Points.empty()) return {};
  TRect r{Points[0].first, Points[0].second, SaturatedAdd(Points[0].first, 1), SaturatedAdd(Points[0].second, 1)};
  for (auto [x, y] : Points) r = UnionRect(r, {x, y, SaturatedAdd(x, 1), SaturatedAdd(y, 1)});
  return r;
}

std::vector<TMapRegion> ReadMapFile(std::span<const uint8_t> data) {
  TByteStream in{data};
  try {
    const int32_t count = ReadInt(in);
    // A region takes at least a name length, a shape and four numbers.
    if (count < 0 || count > in.Remaining() / 9) throw EReadError("bad region count");
    std::vector<TMapRegion> regions(static_cast<size_t>(count));
    for (TMapRegion& r : regions) {
      r.Name = ReadStr(in);
      const uint8_t shape = ReadByte(in);
      r.Shape = shape == 0 ? TMapRegion::Rectangle : shape == 1 ? TMapRegion::Ellipse : TMapRegion::Polygon;
      if (r.Shape != TMapRegion::Polygon) {
        r.Left = ReadInt(in);
        r.Top = ReadInt(in);
        r.Right = ReadInt(in);
        r.Bottom = ReadInt(in);
        continue;
      }
      const int32_t points = ReadInt(in);
      if (points < 0 || points > in.Remaining() / 8) throw EReadError("bad point count");
      r.Points.resize(static_cast<size_t>(points));
      for (auto& [x, y] : r.Points) {
        x = ReadInt(in);
        y = ReadInt(in);
      }
    }
    return regions;
  } catch (const EReadError& e) {
    throw EReadError(std::string("Map file: ") + e.what());
  }
}

std::vector<uint8_t> WriteMapFile(const std::vector<TMapRegion>& regions) {
  TByteStream out;
  WriteInt(out, static_cast<int32_t>(regions.size()));
  for (const TMapRegion& r : regions) {
    WriteStr(out, r.Name);
    WriteByte(out, static_cast<uint8_t>(r.Shape));
    if (r.Shape != TMapRegion::Polygon) {
      for (int32_t v : {r.Left, r.Top, r.Right, r.Bottom}) WriteInt(out, v);
      continue;
    }
    WriteInt(out, static_cast<int32_t>(r.Points.size()));
    for (auto [x, y] : r.Points) {
      WriteInt(out, x);
      WriteInt(out, y);
    }
  }
  return out.TakeBytes();
}

}  // namespace kest
