#include "app/ui/Cursors.h"

#include <QPixmap>

namespace {
QCursor& RotateCursor() {
    static QCursor cursor(Qt::CrossCursor);
    return cursor;
}
} // namespace

void RegisterRotateCursor(const QString& pictureFile) {
    QPixmap pm(pictureFile);
    if (!pm.isNull()) RotateCursor() = QCursor(pm, pm.width() / 2, pm.height() / 2);
}

QCursor CursorFor(TCursorKind kind) {
    switch (kind) {
    case TCursorKind::Default: return QCursor(Qt::ArrowCursor);
    case TCursorKind::SizeWE: return QCursor(Qt::SizeHorCursor);
    case TCursorKind::SizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case TCursorKind::SizeNS: return QCursor(Qt::SizeVerCursor);
    case TCursorKind::SizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case TCursorKind::SizeAll: return QCursor(Qt::SizeAllCursor);
    case TCursorKind::Rotate: return RotateCursor();
    }
    return QCursor(Qt::ArrowCursor);
}
