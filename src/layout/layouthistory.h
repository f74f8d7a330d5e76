#pragma once
// Undo and redo of the layout. A user action is recorded as the difference
// between the layout before and after it: the boxes it changed, added or took
// away, and the page list when it changed. Undo puts the "before" states
// back, redo the "after" states, so every action undoes the same way.
//
// Boxes and pages are never freed while a step still needs them: a deleted
// box is taken out of the layout (no owner, hidden on its page) and a deleted
// page leaves the page list; they are freed once no step refers to them.
// A step holds geometry, texts and shared references to the reduced copies,
// never a full picture.

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

#include "base/alignment.h"
#include "base/datetime.h"
#include "imageio/bitmap.h"

class QUndoStack;

namespace tessaria {

class TCanvasPanel;
class TRectBox;

// What undo puts back of one box.
struct TBoxState {
    bool Live = false; // in the layout (owned), else taken out
    TCanvasPanel* Page = nullptr;
    QRect Bounds;
    int Rotation = 0;
    long double Ratio = 0;
    std::shared_ptr<const TBitmap> Picture;
    int PictureWidth = 0;
    int PictureHeight = 0;
    TDateTime PictureDate = 0;
    QString FileName;
    QStringList Lines;
    QFont Font;
    QColor FontColor;
    TAlignment Alignment = TAlignment::taCenter;
    int Tag = 0;
    TRectBox* LinkChild = nullptr;
    TRectBox* LinkParent = nullptr;

    bool operator==(const TBoxState& other) const;
};

TBoxState CaptureBox(const TRectBox& box);
// Gives the box that state; a live state gives it `owner` and shows it, a
// taken-out one hides it and leaves it without owner and unfocused.
void ApplyBox(TRectBox& box, const TBoxState& state, QObject* owner);

// The side of the main window the history needs.
class TLayoutHost {
public:
    virtual ~TLayoutHost() = default;
    // The owner of the layout's boxes.
    virtual QObject* LayoutOwner() = 0;
    virtual QList<TCanvasPanel*> LayoutPages() const = 0;
    virtual TCanvasPanel* LayoutCurrentPage() const = 0;
    // Puts back a list of pages and shows `current`, one of them.
    virtual void RestorePages(const QList<TCanvasPanel*>& pages, TCanvasPanel* current) = 0;
    // After an undo or redo changed the layout.
    virtual void LayoutRestored() = 0;
};

class TLayoutCommand;

class TLayoutHistory : public QObject {
    Q_OBJECT
public:
    TLayoutHistory(TLayoutHost& host, QObject* parent = nullptr);
    ~TLayoutHistory() override;

    QUndoStack* Stack() const { return Stack_; }
    // Forgets every step (a new or opened document); boxes and pages that
    // only the steps kept are freed.
    void Clear();

    // Recording. Begin and End nest; the outermost pair makes one step, and
    // only when something changed. Steps with the same merge id (not -1)
    // that follow each other on the same boxes become one step.
    void Begin(const QString& text, int mergeId = -1);
    void End();
    bool Recording() const { return Depth_ > 0; }
    // A mouse drag: begun at the press, ended at the release. A drag whose
    // release never came is ended by the next recording or press.
    void BeginDrag(const QString& text);
    void EndDrag();

    // Takes a box out of the layout, for undo to bring back.
    static void TakeOut(TRectBox& box);

private:
    friend class TLayoutCommand;
    struct TSnapshot {
        QList<TCanvasPanel*> Pages;
        TCanvasPanel* Current = nullptr;
        std::vector<std::pair<QPointer<TRectBox>, TBoxState>> Boxes;
    };
    struct TPending {
        QString Text;
        int MergeId = -1;
        TSnapshot Before;
    };
    TSnapshot Snapshot();
    void Record(TPending pending);
    void Ref(QObject* object);
    void Unref(QObject* object);

    TLayoutHost& Host_;
    QUndoStack* Stack_;
    int Depth_ = 0;
    std::unique_ptr<TPending> Open_;
    std::unique_ptr<TPending> Drag_;
    std::map<QObject*, std::pair<int, QPointer<QObject>>> Refs_;
};

// Records the enclosed change as one step (or as part of an enclosing one).
class TLayoutEdit {
public:
    TLayoutEdit(TLayoutHistory& history, const QString& text, int mergeId = -1) : History_(history)
    {
        History_.Begin(text, mergeId);
    }
    ~TLayoutEdit() { History_.End(); }
    TLayoutEdit(const TLayoutEdit&) = delete;
    TLayoutEdit& operator=(const TLayoutEdit&) = delete;

private:
    TLayoutHistory& History_;
};

} // namespace tessaria
