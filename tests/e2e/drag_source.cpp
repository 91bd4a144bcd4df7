// Test helper: a stand-in for a file manager that drags one file. A window
// titled "Ziehquelle" fills with grey; pressing the left mouse button in it
// starts a drag of the file given on the command line, offering a copy, a
// move and a link as file managers do. Each finished drag prints the action
// the target chose ("copy", "move", "link" or "none") on a line of its own.
// Usage: e2e_drag_source FILE
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QString file) : file_(std::move(file)) {
        setWindowTitle(QStringLiteral("Ziehquelle"));
        setStyleSheet(QStringLiteral("background: grey"));
        resize(160, 120);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(file_)});
        drag->setMimeData(mime);
        const Qt::DropAction action =
            drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::MoveAction);
        const char* name = action == Qt::CopyAction   ? "copy"
                           : action == Qt::MoveAction ? "move"
                           : action == Qt::LinkAction ? "link"
                                                      : "none";
        std::printf("%s\n", name);
        std::fflush(stdout);
    }

private:
    QString file_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DragSource source(QString::fromLocal8Bit(argv[1]));
    source.show();
    return QApplication::exec();
}
