#pragma once
// The per-form settings component: restores a form's position, size and
// window state and, if asked, the values of its edits, memos, check boxes,
// radio buttons, list and combo boxes and the fonts of its font dialogs, under
// "Software\<application title>\<form name>" with subkeys "Position" and
// "Values".

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tessaria {

enum class TSaveValueOption { svEdit, svMemo, svCheckBox, svRadioButton, svListBox, svComboBox, svFontDialog };

class TFormSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool SavePosition READ SavePosition WRITE SetSavePosition)
    Q_PROPERTY(bool SaveValues READ SaveValues WRITE SetSaveValues)
    Q_PROPERTY(bool LoadValues READ LoadValues WRITE SetLoadValues)
    Q_PROPERTY(QString KeyName READ KeyName WRITE SetKeyName)
public:
    // The owner is the form the component sits on.
    explicit TFormSettings(QWidget* owner, const QString& name = QStringLiteral("FormSettings1"));

    bool SavePosition() const { return SavePosition_; }
    void SetSavePosition(bool value) { SavePosition_ = value; }
    bool SaveValues() const { return SaveValues_; }
    void SetSaveValues(bool value) { SaveValues_ = value; }
    bool LoadValues() const { return LoadValues_; }
    void SetLoadValues(bool value) { LoadValues_ = value; }
    // Kept with the form's design; the value scan covers every kind whatever it holds.
    unsigned SaveValueOptions() const { return SaveValueOptions_; }
    void SetSaveValueOptions(unsigned options) { SaveValueOptions_ = options; }
    static constexpr unsigned AllValueOptions = 0x7F;

    // Empty reads as "Software\" + application title + "\" + the owner's name.
    QString KeyName() const;
    void SetKeyName(const QString& key) { KeyName_ = key; }
    QWidget* RootControl() const { return RootControl_; }
    void SetRootControl(QWidget* control) { RootControl_ = control; }

    // Called once the owner form has been built.
    void Loaded() { LoadSettings(); }
    void LoadSettings();
    void SaveSettings();

private:
    QWidget* OwnerForm() const;
    QWidget* ScannedContainer(int line) const;
    void LoadPosition(QWidget* form, const QString& key);
    void SavePositionValues(QWidget* form, const QString& key);
    void LoadControlValues(const QString& key);
    void SaveControlValues(const QString& key);

    bool SavePosition_ = true;
    bool SaveValues_ = false;
    bool LoadValues_ = false;
    unsigned SaveValueOptions_ = AllValueOptions;
    QString KeyName_;
    QPointer<QWidget> RootControl_;
};

// Reads the text as an integer; text that is not a number gives `current`.
int IntegerOrCurrent(const QString& text, int current);

} // namespace tessaria
