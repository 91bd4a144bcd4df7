#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

// Keeps child controls at fixed distances to the edges of their parent that
// their anchors name: anchored left and right, a control stretches with the
// parent's width; anchored right only, it moves with the right edge; likewise
// top and bottom. Anchors can be changed at run time; the distances are taken
// from the control's geometry at that moment.
class TAnchors : public QObject {
    Q_OBJECT
public:
    enum Edge { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
    static constexpr int akAll = akLeft | akTop | akRight | akBottom;

    // Watches `parent` for size changes.
    explicit TAnchors(QWidget* parent);

    // Sets the anchors of a child of the watched parent.
    void Anchor(QWidget* child, int edges);
    int Edges(QWidget* child) const;
    // Places every anchored child for the parent's present size.
    void Apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> widget;
        int edges = 0;
        int left = 0, top = 0, right = 0, bottom = 0; // distances to the edges
        int width = 0, height = 0;
    };
    QWidget* parent_;
    QHash<QWidget*, Entry> entries_;
    QList<QWidget*> order_;
};
