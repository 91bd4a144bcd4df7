#include "gui/DataBaseDrop.h"

#include "core/MvdFile.h"
#include "gui/NativePath.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

// Copy where the source allows it, else a link; a move never.
std::optional<Qt::DropAction> HarmlessAction(Qt::DropActions possible) {
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    if (possible & Qt::LinkAction)
        return Qt::LinkAction;
    return std::nullopt;
}

} // namespace

namespace dropping {

std::optional<QString> DataBaseFile(const QMimeData& data) {
    if (!data.hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return std::nullopt;
    const QString path = urls.first().toLocalFile();
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    if (!info.fileName().endsWith(QLatin1String(".mvd"), Qt::CaseInsensitive) &&
        !FileStartsLikeDataBase(nativepath::FromQString(path)))
        return std::nullopt;
    return info.absoluteFilePath();
}

} // namespace dropping

TDataBaseDropTarget::TDataBaseDropTarget(QWidget* window, Welcome welcome, Dropped dropped)
    : QObject(window), window_(window), welcome_(std::move(welcome)), dropped_(std::move(dropped)) {
    setObjectName(QStringLiteral("DataBaseDropTarget"));
    // The window itself takes drags that no control takes; the controls that
    // take drags of their own are watched through the application.
    window->setAcceptDrops(true);
    qApp->installEventFilter(this);
}

bool TDataBaseDropTarget::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop &&
        type != QEvent::DragLeave)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window_)
        return false;
    if (type == QEvent::DragLeave) {
        dragged_.reset();
        draggedModifiers_ = {};
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData& data = *drop->mimeData();
    if (!data.hasUrls())
        return false; // text for a text field
    std::optional<QString> file = dropping::DataBaseFile(data);
    // On X11 the names of a drop may not come through once the button is
    // released (the source no longer answers): the drag's own names stand.
    if (type == QEvent::Drop && !file && data.urls().isEmpty())
        file = dragged_;
    const std::optional<Qt::DropAction> action = HarmlessAction(drop->possibleActions());
    // The keys held now. On X11 a drag from another program carries this
    // window's last known keys, which go stale while the other program holds
    // the keyboard: there the window system is asked. A drop also counts the
    // keys held when the pointer last moved, since a key let go together with
    // the button may be up before the drop arrives.
    Qt::KeyboardModifiers modifiers = QGuiApplication::platformName() == QLatin1String("xcb")
                                          ? QGuiApplication::queryKeyboardModifiers()
                                          : drop->modifiers();
    if (type == QEvent::Drop) {
        modifiers |= draggedModifiers_;
        draggedModifiers_ = {};
    } else {
        draggedModifiers_ = modifiers;
    }
    if (type == QEvent::Drop || !file || !action)
        dragged_.reset();
    if (!file || !action || !welcome_(modifiers)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(*action);
    drop->accept();
    if (type != QEvent::Drop)
        dragged_ = file;
    else
        QMetaObject::invokeMethod(
            this, [this, path = *file, modifiers] { dropped_(path, modifiers); },
            Qt::QueuedConnection);
    return true;
}
