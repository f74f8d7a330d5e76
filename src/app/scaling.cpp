#include "app/scaling.h"

#include <QLayout>
#include <QSplitter>
#include <QWidget>

namespace tessaria {

namespace {
int Scale(int v, int m, int d) { return v * m / d; }
} // namespace

void ScaleControls(QWidget* root, int m, int d)
{
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        const QSize min = w->minimumSize(), max = w->maximumSize();
        if (min.width() == max.width() && min.width() > 0)
            w->setFixedWidth(Scale(min.width(), m, d));
        if (min.height() == max.height() && min.height() > 0)
            w->setFixedHeight(Scale(min.height(), m, d));
        // Children placed by hand rather than by a layout.
        QWidget* parent = w->parentWidget();
        const bool managed = parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
        if (parent && !managed && !qobject_cast<QSplitter*>(parent)) {
            const QRect g = w->geometry();
            w->setGeometry(Scale(g.x(), m, d), Scale(g.y(), m, d), Scale(g.width(), m, d), Scale(g.height(), m, d));
        }
    }
}

} // namespace tessaria
