#include "platform/formsettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

#include "base/exceptions.h"
#include "platform/fontdialog.h"
#include "platform/settingsstore.h"

namespace tessaria {

namespace {

constexpr int LoadAssertionLine = 183;
constexpr int SaveAssertionLine = 220;

QString Bool(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

bool BoolOrCurrent(const QString& text, bool current)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value != 0 : current;
}

// The components a form owns, in creation order, with the names they are
// stored under; unnamed internals of composite widgets are not components.
QList<QObject*> OwnedComponents(QWidget* container)
{
    QList<QObject*> result;
    for (QObject* o : container->findChildren<QObject*>()) {
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            result << o;
    }
    return result;
}

} // namespace

int IntegerOrCurrent(const QString& text, int current)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : current;
}

TFormSettings::TFormSettings(QWidget* owner, const QString& name) : QObject(owner)
{
    setObjectName(name);
}

QWidget* TFormSettings::OwnerForm() const
{
    auto* owner = qobject_cast<QWidget*>(parent());
    return owner && owner->isWindow() ? owner : nullptr;
}

QString TFormSettings::KeyName() const
{
    if (!KeyName_.isEmpty())
        return KeyName_;
    const QWidget* owner = qobject_cast<QWidget*>(parent());
    return QStringLiteral("Software\\") + QApplication::applicationName() + QStringLiteral("\\") +
           (owner ? owner->objectName() : QString());
}

QWidget* TFormSettings::ScannedContainer(int line) const
{
    if (RootControl_)
        return RootControl_;
    if (QWidget* form = OwnerForm())
        return form;
    throw AssertionFailure("Assertion failure", "FormSettings", line);
}

void TFormSettings::LoadSettings()
{
    QWidget* form = OwnerForm();
    if (!form)
        return;
    // The designed placement applies from here on; Qt has no automatic
    // placement modes to switch off.
    const QString key = KeyName();
    if (SavePosition_)
        LoadPosition(form, key + QStringLiteral("\\Position"));
    if (LoadValues_)
        LoadControlValues(key + QStringLiteral("\\Values"));
}

void TFormSettings::SaveSettings()
{
    QWidget* form = OwnerForm();
    if (!form)
        return;
    const QString key = KeyName();
    if (SavePosition_)
        SavePositionValues(form, key + QStringLiteral("\\Position"));
    if (SaveValues_)
        SaveControlValues(key + QStringLiteral("\\Values"));
}

void TFormSettings::LoadPosition(QWidget* form, const QString& key)
{
    const QRect normal = form->isMaximized() || form->isMinimized() ? form->normalGeometry() : form->geometry();
    const int left = IntegerOrCurrent(ReadSetting(key, "Left", QString()), form->x());
    const int top = IntegerOrCurrent(ReadSetting(key, "Top", QString()), form->y());
    const int width = IntegerOrCurrent(ReadSetting(key, "Width", QString()), normal.width());
    const int height = IntegerOrCurrent(ReadSetting(key, "Height", QString()), normal.height());
    form->move(left, top);
    form->resize(width, height);

    const QString state = ReadSetting(key, "WindowState", QStringLiteral("Normal")).toUpper();
    Qt::WindowStates states = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == QLatin1String("MAXIMIZED"))
        states |= Qt::WindowMaximized;
    else if (state == QLatin1String("MINIMIZED"))
        states |= Qt::WindowMinimized;
    form->setWindowState(states);
}

void TFormSettings::SavePositionValues(QWidget* form, const QString& key)
{
    const Qt::WindowStates states = form->windowState();
    QString state = QStringLiteral("NORMAL");
    if (states & Qt::WindowMinimized)
        state = QStringLiteral("MINIMIZED");
    else if (states & Qt::WindowMaximized)
        state = QStringLiteral("MAXIMIZED");
    if (state == QLatin1String("NORMAL")) {
        WriteSetting(key, "Left", QString::number(form->x()));
        WriteSetting(key, "Top", QString::number(form->y()));
        WriteSetting(key, "Width", QString::number(form->width()));
        WriteSetting(key, "Height", QString::number(form->height()));
    }
    WriteSetting(key, "WindowState", state);
}

void TFormSettings::LoadControlValues(const QString& key)
{
    QWidget* container = ScannedContainer(LoadAssertionLine);
    const QList<QObject*> components = OwnedComponents(container);
    auto read = [&](const QString& name) { return ReadSetting(key, name, QString()); };
    auto has = [&](const QString& name) { return SettingExists(key, name); };

    for (QObject* c : components) {
        const QString name = c->objectName();
        if (!has(name))
            continue;
        if (auto* edit = qobject_cast<QLineEdit*>(c))
            edit->setText(read(name));
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(c))
            memo->setPlainText(read(name));
        else if (auto* rich = qobject_cast<QTextEdit*>(c))
            rich->setPlainText(read(name));
        else if (auto* check = qobject_cast<QCheckBox*>(c))
            check->setChecked(BoolOrCurrent(read(name), check->isChecked()));
        else if (auto* radio = qobject_cast<QRadioButton*>(c))
            radio->setChecked(BoolOrCurrent(read(name), radio->isChecked()));
        else if (auto* list = qobject_cast<QListWidget*>(c))
            list->setCurrentRow(IntegerOrCurrent(read(name), list->currentRow()));
        else if (auto* combo = qobject_cast<QComboBox*>(c))
            combo->setCurrentIndex(IntegerOrCurrent(read(name), combo->currentIndex()));
    }
    for (QObject* c : components) {
        auto* dialog = qobject_cast<TFontDialog*>(c);
        if (!dialog)
            continue;
        const QString n = c->objectName();
        QFont font = dialog->Font();
        if (has(n + "_Name"))
            font.setFamily(read(n + "_Name"));
        const int size = IntegerOrCurrent(read(n + "_Size"), font.pointSize());
        if (size > 0)
            font.setPointSize(size);
        dialog->SetColor(IntegerOrCurrent(read(n + "_Color"), dialog->Color()));
        font.setBold(BoolOrCurrent(read(n + "_Bold"), font.bold()));
        font.setItalic(BoolOrCurrent(read(n + "_Italic"), font.italic()));
        font.setUnderline(BoolOrCurrent(read(n + "_Underline"), font.underline()));
        font.setStrikeOut(BoolOrCurrent(read(n + "_StrikeOut"), font.strikeOut()));
        dialog->SetFont(font);
    }
}

void TFormSettings::SaveControlValues(const QString& key)
{
    QWidget* container = ScannedContainer(SaveAssertionLine);
    const QList<QObject*> components = OwnedComponents(container);
    for (QObject* c : components) {
        const QString name = c->objectName();
        if (auto* edit = qobject_cast<QLineEdit*>(c))
            WriteSetting(key, name, edit->text());
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(c))
            WriteSetting(key, name, memo->toPlainText());
        else if (auto* rich = qobject_cast<QTextEdit*>(c))
            WriteSetting(key, name, rich->toPlainText());
        else if (auto* check = qobject_cast<QCheckBox*>(c))
            WriteSetting(key, name, Bool(check->isChecked()));
        else if (auto* radio = qobject_cast<QRadioButton*>(c))
            WriteSetting(key, name, Bool(radio->isChecked()));
        else if (auto* list = qobject_cast<QListWidget*>(c))
            WriteSetting(key, name, QString::number(list->currentRow()));
        else if (auto* combo = qobject_cast<QComboBox*>(c))
            WriteSetting(key, name, QString::number(combo->currentIndex()));
    }
    for (QObject* c : components) {
        auto* dialog = qobject_cast<TFontDialog*>(c);
        if (!dialog)
            continue;
        const QString n = c->objectName();
        const QFont font = dialog->Font();
        WriteSetting(key, n + "_Name", font.family());
        WriteSetting(key, n + "_Size", QString::number(font.pointSize()));
        WriteSetting(key, n + "_Color", QString::number(dialog->Color()));
        WriteSetting(key, n + "_Bold", Bool(font.bold()));
        WriteSetting(key, n + "_Italic", Bool(font.italic()));
        WriteSetting(key, n + "_Underline", Bool(font.underline()));
        WriteSetting(key, n + "_StrikeOut", Bool(font.strikeOut()));
    }
}

} // namespace tessaria
