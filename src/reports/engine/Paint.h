// Painting pages with QPainter (PDF, printer, images, preview) and measuring text for
// stretching bands. Fonts are given in points and scale with the device's resolution.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>
#include <vector>

#include "reports/engine/Document.h"

namespace zuna::report {

QFont toQFont(const Font& f);

// Heights of texts as they will print, in mm, independent of any screen.
class FontMetricsCache {
public:
    FontMetricsCache();
    ~FontMetricsCache();
    // Height of text in a box widthMm wide (wrapped at words when wrap), line breaks honoured.
    double textHeight(const Font& f, const std::string& text, double widthMm, bool wrap);

private:
    QImage device_;
    std::vector<std::pair<Font, std::unique_ptr<QFontMetricsF>>> metrics_;
};

// Paints pages on an active painter whose device has (0,0) at the sheet's top-left corner.
class PagePainter {
public:
    explicit PagePainter(QPainter& painter);
    void paint(const Page& page);

private:
    struct DeviceFont {
        Font font;
        QFont qfont;
        QFontMetricsF metrics;
    };
    const DeviceFont& font(const Font& f);
    void text(const Item& it, const QRectF& box);
    QPainter& p_;
    double k_;  // device units per mm
    std::vector<std::unique_ptr<DeviceFont>> fonts_;
    int current_ = -1;
};

}  // namespace zuna::report
