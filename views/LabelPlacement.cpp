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

double Distance2(DevicePoint a, DevicePoint b) {
    const double dx = a.X - b.X, dy = a.Y - b.Y;
    return dx * dx + dy * dy;
}

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

std::vector<std::optional<DeviceRect>> PlaceLabels(const DeviceRect& box, int gapX, int gapY,
                                                   const std::vector<LabelRequest>& labels) {
    const size_t n = labels.size();
    std::vector<std::optional<DeviceRect>> result(n);
    std::vector<DeviceRect> preferred(n);
    for (size_t i = 0; i < n; ++i)
        preferred[i] =
            LabelBeside(box, gapX, gapY, labels[i].Width, labels[i].Height, labels[i].Anchor);
    std::vector<DeviceRect> placed;
    auto free = [&](const DeviceRect& r) {
        if (!Inside(box, r)) return false;
        for (const DeviceRect& p : placed)
            if (Overlap(p, r)) return false;
        return true;
    };

    // Labels that collide with nothing stay where they are written.
    for (size_t i = 0; i < n; ++i) {
        if (!Inside(box, preferred[i])) continue;
        bool alone = true;
        for (size_t j = 0; j < n && alone; ++j)
            alone = j == i || !Overlap(preferred[i], preferred[j]);
        if (alone) {
            result[i] = preferred[i];
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
        std::optional<DeviceRect> best;
        if (free(preferred[i])) best = preferred[i];

        // Along the own curve, nearest to the written place first.
        if (!best) {
            std::vector<TrackSample> samples = SampleTrack(l.Track);
            if (!samples.empty()) {
                const auto nearest = std::min_element(
                    samples.begin(), samples.end(),
                    [&l](const TrackSample& a, const TrackSample& b) {
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
                    const DeviceRect candidates[] = {
                        LabelBeside(box, gapX, gapY, w, h, p),
                        {p.X + gapX, p.Y + gapY, p.X + gapX + w, p.Y + gapY + h},
                        {p.X + gapX, p.Y - gapY - h, p.X + gapX + w, p.Y - gapY},
                        {p.X - gapX - w, p.Y + gapY, p.X - gapX, p.Y + gapY + h},
                        {p.X - gapX - w, p.Y - gapY - h, p.X - gapX, p.Y - gapY}};
                    for (const DeviceRect& r : candidates)
                        if (free(r)) {
                            best = r;
                            break;
                        }
                    if (best) break;
                }
            }
        }

        // Stacked beside the plot's edges, nearest to the written place.
        if (!best) {
            double bestDistance = std::numeric_limits<double>::infinity();
            auto consider = [&](int left, int top) {
                const DeviceRect r{left, top, left + w, top + h};
                if (!free(r)) return;
                const double d = Distance2({left + w / 2, top + h / 2}, l.Anchor);
                if (d < bestDistance) bestDistance = d, best = r;
            };
            const int stepY = std::max(h, 1), stepX = std::max(w / 2, 1);
            for (int top = box.Top + gapY; top + h <= box.Bottom; top += stepY) {
                consider(box.Right - gapX - w, top);
                consider(box.Left + gapX, top);
            }
            for (int left = box.Left + gapX; left + w <= box.Right; left += stepX) {
                consider(left, box.Top + gapY);
                consider(left, box.Bottom - gapY - h);
            }
        }
        if (best) {
            result[i] = best;
            placed.push_back(*best);
        }
    }
    return result;
}

} // namespace tv
