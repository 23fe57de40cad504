#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace zento::twips {
namespace {

double g_dpi = 0; // 0: not chosen yet

} // namespace

double logicalDpi() {
    if (g_dpi <= 0) {
        const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                    ? QGuiApplication::primaryScreen()
                                    : nullptr;
        g_dpi =
            screen && !QCoreApplication::testAttribute(Qt::AA_Use96Dpi) ? screen->logicalDotsPerInch() : 96.0;
        if (g_dpi <= 0)
            g_dpi = 96.0;
    }
    return g_dpi;
}

int px(int twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

QPoint point(int left, int top) {
    return {px(left), px(top)};
}

QSize size(int width, int height) {
    return {px(width), px(height)};
}

QRect rect(int left, int top, int width, int height) {
    // Both edges are converted, so that neighbouring controls meet exactly as they did.
    const int l = px(left);
    const int t = px(top);
    return {l, t, px(left + width) - l, px(top + height) - t};
}

} // namespace zento::twips
