#pragma once
// An up-down button pair bound to an edit: a click moves its position by one
// within its limits and writes it into the edit.

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tessaria {

enum class TUDBtnType { btNext, btPrev };

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Position() const { return Position_; }
    void SetPosition(int position);
    int Min() const { return Min_; }
    void SetMin(int min);
    int Max() const { return Max_; }
    void SetMax(int max);
    void SetAssociate(QLineEdit* edit);

    // What a click on one of the buttons does (also from tests).
    void ClickButton(TUDBtnType button);
    QToolButton* UpButton() const { return Up_; }
    QToolButton* DownButton() const { return Down_; }

signals:
    // After the position changed by a click.
    void Click(TUDBtnType button);

private:
    void UpdateAssociate();
    QToolButton* Up_;
    QToolButton* Down_;
    QPointer<QLineEdit> Associate_;
    int Position_ = 0;
    int Min_ = 0;
    int Max_ = 100;
};

} // namespace tessaria
