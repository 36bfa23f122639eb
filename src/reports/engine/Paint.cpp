#include "reports/engine/Paint.h"

#include <QPaintDevice>
#include <QPen>

#include <algorithm>

namespace zuna::report {

namespace {
constexpr int kMeasureDpi = 1200;
constexpr double kMmPerInch = 25.4;

int alignFlags(Align a) {
    switch (a) {
        case Align::Left: return Qt::AlignLeft;
        case Align::Right: return Qt::AlignRight;
        case Align::Centre: return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}
}  // namespace

QFont toQFont(const Font& f) {
    QFont q(QString::fromStdString(f.family));
    q.setPointSizeF(f.size > 0 ? f.size : 10);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    return q;
}

FontMetricsCache::FontMetricsCache() : device_(1, 1, QImage::Format_Mono) {
    int dpm = static_cast<int>(kMeasureDpi / kMmPerInch * 1000 + 0.5);
    device_.setDotsPerMeterX(dpm);
    device_.setDotsPerMeterY(dpm);
}

FontMetricsCache::~FontMetricsCache() = default;

double FontMetricsCache::textHeight(const Font& f, const std::string& text, double widthMm, bool wrap) {
    auto it = std::find_if(metrics_.begin(), metrics_.end(), [&](const auto& m) { return m.first == f; });
    if (it == metrics_.end()) {
        metrics_.emplace_back(f, std::make_unique<QFontMetricsF>(toQFont(f), &device_));
        it = metrics_.end() - 1;
    }
    double k = kMeasureDpi / kMmPerInch;
    QRectF box(0, 0, std::max(widthMm, 1.0) * k, 1e7);
    int flags = Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0);
    return it->second->boundingRect(box, flags, QString::fromStdString(text)).height() / k;
}

PagePainter::PagePainter(QPainter& painter) : p_(painter), k_(painter.device()->logicalDpiY() / kMmPerInch) {}

const PagePainter::DeviceFont& PagePainter::font(const Font& f) {
    if (current_ >= 0 && fonts_[static_cast<size_t>(current_)]->font == f) return *fonts_[static_cast<size_t>(current_)];
    auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const auto& e) { return e->font == f; });
    if (it == fonts_.end()) {
        QFont q = toQFont(f);
        fonts_.push_back(std::make_unique<DeviceFont>(DeviceFont{f, q, QFontMetricsF(q, p_.device())}));
        it = fonts_.end() - 1;
    }
    current_ = static_cast<int>(it - fonts_.begin());
    p_.setFont((*it)->qfont);
    return **it;
}

void PagePainter::text(const Item& it, const QRectF& box) {
    const DeviceFont& df = font(it.font);
    QString s = QString::fromStdString(it.text);
    if (it.wrap || s.contains(QLatin1Char('\n'))) {
        p_.drawText(box, Qt::AlignTop | alignFlags(it.align) | (it.wrap ? Qt::TextWordWrap : 0), s);
        return;
    }
    // One line: placed from its measured width, which is much cheaper than a laid-out box;
    // clipped to the box only when it does not fit.
    double width = df.metrics.horizontalAdvance(s);
    double x = it.align == Align::Right    ? box.right() - width
               : it.align == Align::Centre ? box.left() + (box.width() - width) / 2
                                           : box.left();
    QPointF baseline(x, box.top() + df.metrics.ascent());
    if (width <= box.width() || box.width() <= 0) {
        p_.drawText(baseline, s);
        return;
    }
    p_.save();
    p_.setClipRect(box, Qt::IntersectClip);
    p_.drawText(baseline, s);
    p_.restore();
}

void PagePainter::paint(const Page& page) {
    current_ = -1;
    p_.setBrush(Qt::NoBrush);
    p_.setPen(Qt::black);
    double penNow = -1;
    auto setPen = [&](double mm) {
        if (mm == penNow) return;
        penNow = mm;
        QPen pen(Qt::black);
        pen.setWidthF(std::max(mm * k_, 1.0));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
    };
    for (const Item& it : page.items) {
        QRectF r(it.x * k_, it.y * k_, it.w * k_, it.h * k_);
        switch (it.kind) {
            case ItemKind::Text: {
                if (it.text.empty()) break;
                setPen(0);
                text(it, r);
                break;
            }
            case ItemKind::Line:
                setPen(it.pen);
                p_.drawLine(QPointF(it.x * k_, it.y * k_), QPointF((it.x + it.w) * k_, (it.y + it.h) * k_));
                break;
            case ItemKind::Frame:
                setPen(it.pen);
                p_.drawRect(r);
                break;
            case ItemKind::Image: {
                if (it.image.isNull() || r.isEmpty()) break;
                QSizeF s = QSizeF(it.image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                QRectF target(r.x() + (r.width() - s.width()) / 2, r.y() + (r.height() - s.height()) / 2, s.width(), s.height());
                p_.drawImage(target, it.image);
                break;
            }
        }
    }
}

}  // namespace zuna::report
