#include "browse/usearch.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QStyle>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "browse/filesearch.h"
#include "controls/statusbar.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/errorbox.h"

namespace tessaria {

QStringList SearchDrives()
{
    static const QStringList pseudo = {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs",
                                       "pstore", "debugfs", "tracefs", "mqueue", "hugetlbfs", "bpf", "configfs",
                                       "fusectl", "autofs", "binfmt_misc", "overlay", "nsfs", "rpc_pipefs"};
    QStringList drives{"/"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || pseudo.contains(QString(volume.fileSystemType())))
            continue;
        QString root = volume.rootPath();
        if (!root.endsWith('/'))
            root += '/';
        if (!drives.contains(root) && !root.startsWith("/proc") && !root.startsWith("/sys") && !root.startsWith("/dev"))
            drives << root;
    }
    return drives;
}

TfSearch::TfSearch(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("fSearch");
    setWindowTitle("File Search");
    setFont(QFont("MS Sans Serif", 8));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(345, 399);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QWidget(this);
    top->setObjectName("PanelTop");
    top->setFixedHeight(113);
    RG1 = new QGroupBox("Search", top);
    RG1->setObjectName("RG1");
    RG1->setGeometry(8, 8, 321, 65);
    RG1Buttons = new QButtonGroup(RG1);
    auto* all = new QRadioButton("All Drives", RG1);
    all->setGeometry(8, 18, 150, 20);
    auto* selected = new QRadioButton("Selected Drive", RG1);
    selected->setGeometry(8, 40, 110, 20);
    RG1Buttons->addButton(all, 0);
    RG1Buttons->addButton(selected, 1);
    selected->setChecked(true);
    DriveComboBox1 = new QComboBox(top);
    DriveComboBox1->setObjectName("DriveComboBox1");
    DriveComboBox1->setGeometry(120, 48, 201, 21);
    DriveComboBox1->addItems(SearchDrives());
    auto* label = new QLabel("Search for", top);
    label->setObjectName("Label1");
    label->move(8, 88);
    SearchFor = new QLineEdit("*.jpg", top);
    SearchFor->setObjectName("SearchFor");
    SearchFor->setGeometry(64, 84, 193, 21);
    btnFind = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), "Find", top);
    btnFind->setObjectName("btnFind");
    btnFind->setGeometry(264, 82, 65, 25);
    btnStop = new QPushButton(style()->standardIcon(QStyle::SP_BrowserStop), "Stop", top);
    btnStop->setObjectName("btnStop");
    btnStop->setGeometry(264, 82, 65, 25);
    btnStop->hide();
    layout->addWidget(top);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setSortingEnabled(true);
    layout->addWidget(ListBox1, 1);
    SB1 = new TStatusBar(this);
    SB1->setObjectName("SB1");
    SB1->AddPanel(345);
    SB1->SetPanelText(0, "Double click filename after a search to view the file");
    layout->addWidget(SB1);

    connect(RG1Buttons, &QButtonGroup::idClicked, this, [this] { RG1Click(); });
    connect(btnFind, &QPushButton::clicked, this, [this] { RunCommand([this] { btnFindClick(); }); });
    connect(btnStop, &QPushButton::clicked, this, &TfSearch::btnStopClick);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { RunCommand([this] { ListBox1DblClick(); }); });
    SearchFor->installEventFilter(this);
    DriveComboBox1->setFocus();
}

void TfSearch::RefreshDrives()
{
    const QString chosen = DriveComboBox1->currentText();
    const QStringList drives = SearchDrives();
    DriveComboBox1->clear();
    DriveComboBox1->addItems(drives);
    const int again = int(drives.indexOf(chosen));
    DriveComboBox1->setCurrentIndex(again >= 0 ? again : 0);
}

void TfSearch::showEvent(QShowEvent* event)
{
    // Opening from hidden (not coming back from the task bar): centred on
    // the screen, with the volumes mounted now.
    if (!event->spontaneous()) {
        RefreshDrives();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            const QSize outer = frameGeometry().size();
            move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
        }
    }
    QWidget::showEvent(event);
}

void TfSearch::RG1Click() { DriveComboBox1->setEnabled(RG1Buttons->checkedId() == 1); }

bool TfSearch::Add(const QString& path)
{
    if (ListBox1->count() >= Capacity)
        return false;
    ListBox1->addItem(path);
    return true;
}

void TfSearch::btnFindClick()
{
    ListBox1->clear();
    ListBox1->repaint();
    TBusyCursor busy;
    btnFind->hide();
    btnStop->show();
    Searching = true;
    TFileSearchHooks hooks;
    hooks.Pattern = [this] { return SearchFor->text(); };
    hooks.Found = [this](const QString& path) { return Add(path); };
    hooks.Searching = [this] { return Searching; };
    hooks.EnteringFolder = [this](const QString& folder) { SB1->SetPanelText(0, folder); };
    struct TFinish {
        TfSearch* Form;
        ~TFinish()
        {
            Form->btnStop->hide();
            Form->btnFind->show();
            Form->Searching = false;
            Form->SB1->SetPanelText(
                0, QStringLiteral("%1 files found - Double click filename to view.").arg(Form->ListBox1->count()));
        }
    } finish{this};
    auto full = [] { Dialogs().ShowError("Number of files exceeds list box capacity."); };
    if (RG1Buttons->checkedId() == 0) {
        for (int i = 0; i < DriveComboBox1->count() && Searching; ++i) {
            try {
                if (SearchFolder(DriveComboBox1->itemText(i), hooks) == TFileSearchEnd::Full)
                    full();
            } catch (const std::exception&) {
                // A drive that cannot be read is skipped.
            }
        }
    } else if (SearchFolder(DriveComboBox1->currentText(), hooks) == TFileSearchEnd::Full) {
        full();
    }
}

void TfSearch::ListBox1DblClick()
{
    if (Searching || !ListBox1->currentItem())
        return;
    emit ShowFile(ListBox1->currentItem()->text());
}

void TfSearch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Searching = false;
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TfSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SearchFor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter while a search runs would start another inside it: ignored.
            if (!Searching)
                RunCommand([this] { btnFindClick(); });
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Searching = false;
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tessaria
