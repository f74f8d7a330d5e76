#pragma once
// A status bar of fixed-width panels, each showing a text or a progress gauge
// (a percentage 0 to 100, drawn centred).

#include <QString>
#include <QWidget>
#include <vector>

namespace tessaria {

enum class TPanelKind { Text, Gauge };

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Adds a panel of the given width; a last text panel also takes what is left.
    int AddPanel(int width, TPanelKind kind = TPanelKind::Text);
    int PanelCount() const { return int(Panels_.size()); }
    int PanelWidth(int index) const { return Panels_.at(size_t(index)).Width; }
    TPanelKind PanelKind(int index) const { return Panels_.at(size_t(index)).Kind; }

    QString PanelText(int index) const { return Panels_.at(size_t(index)).Text; }
    void SetPanelText(int index, const QString& text);

    // The position of the first gauge panel, 0 to 100 (clamped).
    int GaugePosition() const { return Gauge_; }
    void SetGaugePosition(int percent);

    QRect PanelRect(int index) const;
    // The panel at a point, or -1.
    int PanelAt(QPoint point) const;
    QSize sizeHint() const override;

signals:
    void PanelDoubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct TPanel {
        int Width;
        TPanelKind Kind;
        QString Text;
    };
    std::vector<TPanel> Panels_;
    int Gauge_ = 0;
};

} // namespace tessaria
