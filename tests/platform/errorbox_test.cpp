#include <gtest/gtest.h>

#include <QDialog>

#include "base/exceptions.h"
#include "platform/errorbox.h"
#include "platform/scripteddialogs.h"
#include "support/qtprinters.h"

using namespace tessaria;

TEST(ErrorBox, ACommandThatRaisesEndsInTheStandardErrorBox)
{
    std::unique_ptr<TScriptedDialogs::TGuard> guard;
    TScriptedDialogs* dialogs = TScriptedDialogs::Install(guard);
    bool after = false;
    RunCommand([] { throw EInvalidGraphic("Unknown picture file extension (.xyz)"); });
    RunCommand([] { throw std::bad_alloc(); });
    RunCommand([] { throw 42; });
    RunCommand([&] { after = true; });
    EXPECT_TRUE(after);
    EXPECT_EQ(dialogs->Texts(TScriptedDialogs::TKind::Error),
              (QStringList{"Unknown picture file extension (.xyz)", "Out of memory", "Unknown error"}));
}

TEST(ScriptedDialogs, AnswerInOrderThenTheDefault)
{
    std::unique_ptr<TScriptedDialogs::TGuard> guard;
    TScriptedDialogs* dialogs = TScriptedDialogs::Install(guard);
    dialogs->Answers = {TMsgAnswer::Yes, TMsgAnswer::Cancel};
    EXPECT_EQ(Dialogs().Confirm("one?", TMsgButtons::YesNo), TMsgAnswer::Yes);
    EXPECT_EQ(Dialogs().Confirm("two?", TMsgButtons::YesNo), TMsgAnswer::No); // no Cancel button there
    EXPECT_EQ(Dialogs().Confirm("three?", TMsgButtons::YesNoCancel), TMsgAnswer::No);

    dialogs->FileNames = {"/tmp/layout", ""};
    TFileDialogSpec spec;
    spec.DefaultExt = "tsd";
    EXPECT_TRUE(Dialogs().SaveFile(spec));
    EXPECT_EQ(spec.FileName, "/tmp/layout.tsd");
    EXPECT_FALSE(Dialogs().OpenFile(spec));

    QDialog form;
    form.setObjectName("frmLorvaneOptions");
    dialogs->OnModal = [](QDialog& d) { return d.objectName() == "frmLorvaneOptions" ? int(QDialog::Accepted) : -1; };
    EXPECT_EQ(Dialogs().ExecModal(form), int(QDialog::Accepted));
    EXPECT_EQ(dialogs->AllTexts(), (QStringList{"one?", "two?", "three?", "", "", "frmLorvaneOptions"}));
}

TEST(Dialogs, FilterPairsBecomeQtFilters)
{
    EXPECT_EQ(QtFilterFromPairs("Tessaria Files (*.tsd)|*.tsd"), "Tessaria Files (*.tsd)");
    EXPECT_EQ(QtFilterFromPairs("Pictures|*.jpg;*.bmp|All|*.*"), "Pictures (*.jpg *.bmp);;All (*.*)");
}
