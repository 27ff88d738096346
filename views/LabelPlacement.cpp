#include "views/LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tv {

namespace {

// Distance between two candidate places along a curve, in pixels.
constexpr double TrackStep = 3;

struct TrackSample {
    DevicePoint Point;
    double Position = 0; // arc length from the start of the first piece
};

// Points every TrackStep pixels along all pieces, each piece's ends included.
std::vector<TrackSample> SampleTrack(const std::vector<std::vector<DevicePoint>>& track) {
    std::vector<TrackSample> out;
    double s = 0;
    for (const std::vector<DevicePoint>& piece : track) {
        if (piece.empty()) continue;
        out.push_back({piece.front(), s});
        for (size_t k = 1; k < piece.size(); ++k) {
            const DevicePoint a = piece[k - 1], b = piece[k];
            const double length = std::hypot(double(b.X - a.X), double(b.Y - a.Y));
            const int steps = int(length / TrackStep);
            for (int j = 1; j <= steps; ++j) {
                const double f = j * TrackStep / length;
                out.push_back({{int(std::lround(a.X + f * (b.X - a.X))),
                                int(std::lround(a.Y + f * (b.Y - a.Y)))},
                               s + j * TrackStep});
            }
            s += length;
            out.push_back({b, s});
        }
    }
    return out;
}

LabelPlace PlaceAt(const DeviceRect& r) {
    LabelPlace p;
    p.Rect = r;
    return p;
}

double Distance2(DevicePoint a, DevicePoint b) {
    const double dx = a.X - b.X, dy = a.Y - b.Y;
    return dx * dx + dy * dy;
}

// The pixels of a rectangle as a closed area: Right and Bottom are exclusive.
struct Area {
    double Left, Top, Right, Bottom;
};

Area AreaOf(const DeviceRect& r, double grow = 0) {
    return {r.Left - grow, r.Top - grow, r.Right - 1 + grow, r.Bottom - 1 + grow};
}

double PointToArea(double x, double y, const Area& a) {
    const double dx = std::max({a.Left - x, 0.0, x - a.Right});
    const double dy = std::max({a.Top - y, 0.0, y - a.Bottom});
    return std::hypot(dx, dy);
}

double PointToSegment(double x, double y, DevicePoint a, DevicePoint b) {
    const double vx = b.X - a.X, vy = b.Y - a.Y;
    const double length2 = vx * vx + vy * vy;
    double f = length2 > 0 ? ((x - a.X) * vx + (y - a.Y) * vy) / length2 : 0;
    f = std::clamp(f, 0.0, 1.0);
    return std::hypot(x - (a.X + f * vx), y - (a.Y + f * vy));
}

// True when the segment runs through the area (Liang-Barsky).
bool Crosses(DevicePoint a, DevicePoint b, const Area& r) {
    double t0 = 0, t1 = 1;
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.X - r.Left, r.Right - a.X, a.Y - r.Top, r.Bottom - a.Y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// Distance between a segment and a rectangle's pixels; 0 when it runs through them.
double SegmentToArea(DevicePoint a, DevicePoint b, const Area& r) {
    if (Crosses(a, b, r)) return 0;
    double d = std::min(PointToArea(a.X, a.Y, r), PointToArea(b.X, b.Y, r));
    for (const double x : {r.Left, r.Right})
        for (const double y : {r.Top, r.Bottom})
            d = std::min(d, PointToSegment(x, y, a, b));
    return d;
}

// The nearest point of a segment to a rectangle's pixels and the point of the rectangle
// nearest to it: the ends of a leader line.
void LeaderEnds(DevicePoint a, DevicePoint b, const DeviceRect& rect, DevicePoint& onRect,
                DevicePoint& onLine, double& distance) {
    const Area r = AreaOf(rect);
    const double length = std::hypot(double(b.X - a.X), double(b.Y - a.Y));
    const int steps = std::max(1, int(length / 2));
    for (int j = 0; j <= steps; ++j) {
        const double x = a.X + (b.X - a.X) * double(j) / steps;
        const double y = a.Y + (b.Y - a.Y) * double(j) / steps;
        const double d = PointToArea(x, y, r);
        if (d < distance) {
            distance = d;
            onLine = {int(std::lround(x)), int(std::lround(y))};
            onRect = {int(std::lround(std::clamp(x, r.Left, r.Right))),
                      int(std::lround(std::clamp(y, r.Top, r.Bottom)))};
        }
    }
}

// The pixels the lines cover within the box, with a clearance of two pixels and a half pen,
// summed so that any rectangle is tested in constant time.
class Coverage {
  public:
    Coverage(const DeviceRect& box, const std::vector<DrawnLine>& lines)
        : box_(box), width_(std::max(0, box.Right - box.Left + 1)),
          height_(std::max(0, box.Bottom - box.Top + 1)) {
        std::vector<unsigned char> covered(size_t(width_) * size_t(height_), 0);
        auto mark = [&](int x, int y) {
            x -= box_.Left, y -= box_.Top;
            if (x >= 0 && y >= 0 && x < width_ && y < height_) covered[size_t(y) * width_ + x] = 1;
        };
        for (const DrawnLine& l : lines) {
            const int r = (l.Width + 1) / 2 + 2;
            const int dx = l.B.X - l.A.X, dy = l.B.Y - l.A.Y;
            const int steps = std::max(std::abs(dx), std::abs(dy));
            const bool flat = std::abs(dx) >= std::abs(dy);
            for (int j = 0; j <= steps; ++j) {
                const int x = l.A.X + (steps ? int(std::lround(double(dx) * j / steps)) : 0);
                const int y = l.A.Y + (steps ? int(std::lround(double(dy) * j / steps)) : 0);
                // The ends get a square; between them a run across the line suffices.
                const bool end = j == 0 || j == steps;
                for (int u = -r; u <= r; ++u) {
                    if (end)
                        for (int v = -r; v <= r; ++v)
                            mark(x + u, y + v);
                    else if (flat)
                        mark(x, y + u);
                    else
                        mark(x + u, y);
                }
            }
        }
        sums_.assign(size_t(width_ + 1) * size_t(height_ + 1), 0);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                sums_[At(x + 1, y + 1)] = covered[size_t(y) * width_ + x] + sums_[At(x, y + 1)] +
                                          sums_[At(x + 1, y)] - sums_[At(x, y)];
    }

    // True when no line comes near the rectangle (which lies inside the box).
    bool Clear(const DeviceRect& r) const {
        const int l = r.Left - box_.Left, t = r.Top - box_.Top;
        const int right = r.Right - box_.Left, bottom = r.Bottom - box_.Top;
        if (l < 0 || t < 0 || right > width_ || bottom > height_ || l >= right || t >= bottom)
            return false;
        return sums_[At(right, bottom)] - sums_[At(l, bottom)] - sums_[At(right, t)] +
                   sums_[At(l, t)] ==
               0;
    }

  private:
    size_t At(int x, int y) const { return size_t(y) * size_t(width_ + 1) + size_t(x); }
    DeviceRect box_;
    int width_, height_;
    std::vector<int> sums_;
};

} // namespace

DeviceRect LabelBeside(const DeviceRect& box, int gapX, int gapY, int width, int height,
                       DevicePoint p) {
    const int left = p.X + width + gapX > box.Right ? p.X - gapX - width : p.X + gapX;
    const int top = box.Top + height + gapY < p.Y ? p.Y - gapY - height : p.Y + gapY;
    return {left, top, left + width, top + height};
}

bool Overlap(const DeviceRect& a, const DeviceRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool Inside(const DeviceRect& box, const DeviceRect& r) {
    return r.Left >= box.Left && r.Top >= box.Top && r.Right <= box.Right && r.Bottom <= box.Bottom;
}

std::vector<std::optional<LabelPlace>> PlaceLabels(const DeviceRect& box, int gapX, int gapY,
                                                   const std::vector<DrawnLine>& lines,
                                                   const std::vector<LabelRequest>& labels) {
    const size_t n = labels.size();
    std::vector<std::optional<LabelPlace>> result(n);
    if (box.Right <= box.Left || box.Bottom <= box.Top) return result;
    const Coverage coverage(box, lines);
    std::vector<DeviceRect> preferred(n);
    for (size_t i = 0; i < n; ++i)
        preferred[i] =
            LabelBeside(box, gapX, gapY, labels[i].Width, labels[i].Height, labels[i].Anchor);
    std::vector<DeviceRect> placed;
    std::vector<DrawnLine> leaders;
    // Two labels side by side keep a space between them, so that they never read as one.
    const int spaceX = std::max(2, gapX / 2), spaceY = 1;
    auto apart = [&](const DeviceRect& a, const DeviceRect& b) {
        return !Overlap({a.Left - spaceX, a.Top - spaceY, a.Right + spaceX, a.Bottom + spaceY}, b);
    };

    // Nearer its own curve than any other (ties allowed: curves that coincide).
    auto ownNearest = [&](const LabelRequest& l, const DeviceRect& rect) {
        if (l.Curve < 0) return true;
        const Area a = AreaOf(rect);
        double own = std::numeric_limits<double>::infinity();
        for (const DrawnLine& line : lines)
            if (line.Curve == l.Curve) own = std::min(own, SegmentToArea(line.A, line.B, a));
        if (!std::isfinite(own)) return true;
        for (const DrawnLine& line : lines) {
            if (line.Curve < 0 || line.Curve == l.Curve) continue;
            // Cheap rejection by the segment's bounding box.
            const Area grown{a.Left - own, a.Top - own, a.Right + own, a.Bottom + own};
            if (std::max(line.A.X, line.B.X) < grown.Left ||
                std::min(line.A.X, line.B.X) > grown.Right ||
                std::max(line.A.Y, line.B.Y) < grown.Top ||
                std::min(line.A.Y, line.B.Y) > grown.Bottom)
                continue;
            if (SegmentToArea(line.A, line.B, a) < own) return false;
        }
        return true;
    };
    auto freeOfLabels = [&](const DeviceRect& r) {
        for (const DeviceRect& p : placed)
            if (!apart(p, r)) return false;
        const Area a = AreaOf(r, 1);
        for (const DrawnLine& l : leaders)
            if (Crosses(l.A, l.B, a)) return false;
        return true;
    };
    auto free = [&](const LabelRequest& l, const DeviceRect& r) {
        return Inside(box, r) && coverage.Clear(r) && freeOfLabels(r) && ownNearest(l, r);
    };

    // Labels whose written place is free and wanted by no other label stay there.
    for (size_t i = 0; i < n; ++i) {
        if (!free(labels[i], preferred[i])) continue;
        bool alone = true;
        for (size_t j = 0; j < n && alone; ++j)
            alone = j == i || apart(preferred[i], preferred[j]);
        if (alone) {
            result[i] = PlaceAt(preferred[i]);
            placed.push_back(preferred[i]);
        }
    }

    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&labels](size_t a, size_t b) {
        return labels[a].Priority < labels[b].Priority;
    });
    for (size_t i : order) {
        if (result[i]) continue;
        const LabelRequest& l = labels[i];
        const int w = l.Width, h = l.Height;
        std::optional<LabelPlace> best;
        if (free(l, preferred[i])) best = PlaceAt(preferred[i]);

        // Beside the own curve, nearest to the written place first.
        std::vector<TrackSample> samples = SampleTrack(l.Track);
        if (!best && !samples.empty()) {
            const auto nearest = std::min_element(
                samples.begin(), samples.end(), [&l](const TrackSample& a, const TrackSample& b) {
                    return Distance2(a.Point, l.Anchor) < Distance2(b.Point, l.Anchor);
                });
            const double origin = nearest->Position;
            std::stable_sort(samples.begin(), samples.end(),
                             [origin](const TrackSample& a, const TrackSample& b) {
                                 return std::fabs(a.Position - origin) <
                                        std::fabs(b.Position - origin);
                             });
            for (const TrackSample& s : samples) {
                const DevicePoint p = s.Point;
                const int right = p.X + gapX, left = p.X - gapX - w, middleX = p.X - w / 2;
                const int above = p.Y - gapY - h, below = p.Y + gapY, middleY = p.Y - h / 2;
                const DeviceRect candidates[] = {LabelBeside(box, gapX, gapY, w, h, p),
                                                 {right, above, right + w, above + h},
                                                 {right, below, right + w, below + h},
                                                 {left, above, left + w, above + h},
                                                 {left, below, left + w, below + h},
                                                 {right, middleY, right + w, middleY + h},
                                                 {left, middleY, left + w, middleY + h},
                                                 {middleX, above, middleX + w, above + h},
                                                 {middleX, below, middleX + w, below + h}};
                for (const DeviceRect& r : candidates)
                    if (free(l, r)) {
                        best = PlaceAt(r);
                        break;
                    }
                if (best) break;
            }
        }

        // The free place nearest to the curve, tied to it by a leader line; without a curve
        // the free place nearest to the written one.
        if (!best) {
            double bestDistance = std::numeric_limits<double>::infinity();
            const int stepY = std::max(h / 2, 1), stepX = std::max(w / 4, 1);
            for (int top = box.Top + gapY; top + h <= box.Bottom; top += stepY)
                for (int left = box.Left + gapX; left + w <= box.Right; left += stepX) {
                    const DeviceRect r{left, top, left + w, top + h};
                    if (!coverage.Clear(r) || !freeOfLabels(r)) continue;
                    if (samples.empty()) {
                        const double d = Distance2({left + w / 2, top + h / 2}, l.Anchor);
                        if (d < bestDistance) bestDistance = d, best = PlaceAt(r);
                        continue;
                    }
                    double d = bestDistance;
                    DevicePoint from, to;
                    const Area area = AreaOf(r);
                    for (const auto& piece : l.Track)
                        for (size_t k = 0; k < piece.size(); ++k) {
                            const DevicePoint a = piece[k],
                                              b = piece[std::min(k + 1, piece.size() - 1)];
                            if (SegmentToArea(a, b, area) < d) LeaderEnds(a, b, r, from, to, d);
                        }
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = LabelPlace{r, true, from, to};
                    }
                }
        }
        if (best) {
            result[i] = best;
            placed.push_back(best->Rect);
            if (best->Leader) leaders.push_back({best->LeaderFrom, best->LeaderTo, 1, l.Curve});
        }
    }
    return result;
}

LabelFaults CountLabelFaults(const std::vector<DrawnLine>& lines,
                             const std::vector<LabelOnPlot>& labels) {
    LabelFaults faults;
    for (const LabelOnPlot& label : labels) {
        bool crossed = false;
        for (const DrawnLine& line : lines)
            crossed =
                crossed || Crosses(line.A, line.B, AreaOf(label.Rect, (line.Width - 1) / 2.0));
        for (const LabelOnPlot& other : labels)
            if (&other != &label && other.Leader)
                crossed = crossed || Crosses(other.Leader->A, other.Leader->B, AreaOf(label.Rect));
        faults.CrossedByALine += crossed;
        if (label.Curve < 0) continue;
        const Area a = AreaOf(label.Rect);
        double own = label.Leader ? SegmentToArea(label.Leader->A, label.Leader->B, a)
                                  : std::numeric_limits<double>::infinity();
        double other = std::numeric_limits<double>::infinity();
        for (const DrawnLine& line : lines) {
            if (line.Curve < 0) continue;
            double& d = line.Curve == label.Curve ? own : other;
            d = std::min(d, SegmentToArea(line.A, line.B, a));
        }
        faults.NearerAnotherCurve += std::isfinite(own) && other < own;
    }
    return faults;
}

} // namespace tv
