#include "app/window_placement.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void PlaceMainWindow(QWidget &window, const std::vector<std::uint8_t> &saved)
{
    const QByteArray bytes(reinterpret_cast<const char *>(saved.data()), qsizetype(saved.size()));
    if (!saved.empty() && window.restoreGeometry(bytes))
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = area.size() * 2 / 3;
    window.resize(size);
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

std::vector<std::uint8_t> SavedPlacement(const QWidget &window)
{
    const QByteArray bytes = window.saveGeometry();
    return { bytes.begin(), bytes.end() };
}
