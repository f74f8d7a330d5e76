#include "layout/layouthistory.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <set>

#include "layout/canvaspanel.h"
#include "layout/rectbox.h"

namespace tessaria {

bool TBoxState::operator==(const TBoxState& o) const
{
    return Live == o.Live && Page == o.Page && Bounds == o.Bounds && Rotation == o.Rotation && Ratio == o.Ratio &&
           Picture == o.Picture && PictureWidth == o.PictureWidth && PictureHeight == o.PictureHeight &&
           PictureDate == o.PictureDate && FileName == o.FileName && Lines == o.Lines && Font == o.Font &&
           FontColor == o.FontColor && Alignment == o.Alignment && Tag == o.Tag && LinkChild == o.LinkChild &&
           LinkParent == o.LinkParent;
}

TBoxState CaptureBox(const TRectBox& box)
{
    TBoxState s;
    s.Live = box.Owner() != nullptr;
    s.Page = qobject_cast<TCanvasPanel*>(box.parentWidget());
    s.Bounds = box.Bounds();
    s.Rotation = box.Rotation();
    s.Ratio = box.Ratio();
    s.Picture = box.SharedPicture();
    s.PictureWidth = box.PictureWidth();
    s.PictureHeight = box.PictureHeight();
    s.PictureDate = box.PictureDate();
    s.FileName = box.FileName();
    s.Lines = box.Lines();
    s.Font = box.Font();
    s.FontColor = box.FontColor();
    s.Alignment = box.Alignment();
    s.Tag = box.Tag();
    s.LinkChild = box.LinkChild();
    s.LinkParent = box.LinkParent();
    return s;
}

void ApplyBox(TRectBox& box, const TBoxState& s, QObject* owner)
{
    // Arranging moves boxes onto other pages; the bounds are placed at the page's scale.
    if (s.Page && box.parentWidget() != s.Page)
        box.setParent(s.Page);
    box.SetBounds(s.Bounds);
    box.SetRotation(s.Rotation);
    box.SetRatio(s.Ratio);
    box.SetSharedPicture(s.Picture);
    box.SetPictureWidth(s.PictureWidth);
    box.SetPictureHeight(s.PictureHeight);
    box.SetPictureDate(s.PictureDate);
    box.SetFileName(s.FileName);
    box.SetLines(s.Lines);
    box.SetFont(s.Font);
    box.SetFontColor(s.FontColor);
    box.SetAlignment(s.Alignment);
    box.SetTag(s.Tag);
    box.SetLinkChild(s.LinkChild);
    box.SetLinkParent(s.LinkParent);
    if (s.Live) {
        box.SetOwner(owner);
        box.show();
    } else {
        TLayoutHistory::TakeOut(box);
    }
    box.update();
}

// One step: the boxes it changed with their states on both sides, and the
// page list when that changed.
class TLayoutCommand final : public QUndoCommand {
public:
    struct TChange {
        QPointer<TRectBox> Box;
        TBoxState Before;
        TBoxState After;
    };

    TLayoutCommand(TLayoutHistory& history, const QString& text, int mergeId, std::vector<TChange> changes,
                   TLayoutHistory::TSnapshot before, TLayoutHistory::TSnapshot after)
        : QUndoCommand(text), History_(history), MergeId_(mergeId), Changes_(std::move(changes)),
          PagesChanged_(before.Pages != after.Pages), PagesBefore_(before.Pages), PagesAfter_(after.Pages),
          CurrentBefore_(before.Current), CurrentAfter_(after.Current)
    {
        std::set<QObject*> refs;
        for (const TChange& c : Changes_) {
            refs.insert(c.Box.data());
            refs.insert(c.Before.Page);
            refs.insert(c.After.Page);
        }
        if (PagesChanged_)
            for (TCanvasPanel* page : PagesBefore_ + PagesAfter_)
                refs.insert(page);
        refs.insert(CurrentBefore_);
        refs.insert(CurrentAfter_);
        refs.erase(nullptr);
        Refs_.assign(refs.begin(), refs.end());
        for (QObject* o : Refs_)
            History_.Ref(o);
    }

    ~TLayoutCommand() override
    {
        for (QObject* o : Refs_)
            History_.Unref(o);
    }

    void undo() override { Apply(false); }
    void redo() override
    {
        // The first doing happened while it was recorded.
        if (Fresh_) {
            Fresh_ = false;
            return;
        }
        Apply(true);
    }

    int id() const override { return MergeId_; }

    bool mergeWith(const QUndoCommand* other) override
    {
        auto* next = dynamic_cast<const TLayoutCommand*>(other);
        if (!next || next->id() != id() || PagesChanged_ || next->PagesChanged_ ||
            next->Changes_.size() != Changes_.size())
            return false;
        for (size_t i = 0; i < Changes_.size(); ++i)
            if (Changes_[i].Box != next->Changes_[i].Box)
                return false;
        for (size_t i = 0; i < Changes_.size(); ++i)
            Changes_[i].After = next->Changes_[i].After;
        CurrentAfter_ = next->CurrentAfter_;
        return true;
    }

private:
    void Apply(bool after)
    {
        TLayoutHost& host = History_.Host_;
        TCanvasPanel* current = after ? CurrentAfter_ : CurrentBefore_;
        if (PagesChanged_)
            host.RestorePages(after ? PagesAfter_ : PagesBefore_, current);
        else if (current && current != host.LayoutCurrentPage() && host.LayoutPages().contains(current))
            host.RestorePages(host.LayoutPages(), current); // show where the change happened
        for (const TChange& c : Changes_)
            if (c.Box)
                ApplyBox(*c.Box, after ? c.After : c.Before, host.LayoutOwner());
        host.LayoutRestored();
    }

    TLayoutHistory& History_;
    int MergeId_;
    std::vector<TChange> Changes_;
    bool PagesChanged_;
    QList<TCanvasPanel*> PagesBefore_;
    QList<TCanvasPanel*> PagesAfter_;
    TCanvasPanel* CurrentBefore_;
    TCanvasPanel* CurrentAfter_;
    std::vector<QObject*> Refs_;
    bool Fresh_ = true;
};

TLayoutHistory::TLayoutHistory(TLayoutHost& host, QObject* parent)
    : QObject(parent), Host_(host), Stack_(new QUndoStack(this))
{
}

TLayoutHistory::~TLayoutHistory() { Clear(); }

void TLayoutHistory::Clear()
{
    Drag_.reset();
    Stack_->clear();
}

void TLayoutHistory::TakeOut(TRectBox& box)
{
    box.SetFocus(false);
    box.hide();
    box.SetOwner(nullptr);
}

TLayoutHistory::TSnapshot TLayoutHistory::Snapshot()
{
    TSnapshot s;
    s.Pages = Host_.LayoutPages();
    s.Current = Host_.LayoutCurrentPage();
    for (TRectBox* box : TRectBox::BoxesOf(Host_.LayoutOwner()))
        s.Boxes.emplace_back(box, CaptureBox(*box));
    return s;
}

void TLayoutHistory::Begin(const QString& text, int mergeId)
{
    // Counted only once nothing can fail, so that an End always follows.
    if (Depth_ == 0) {
        try {
            EndDrag();
        } catch (...) {
            // The drag stands; only its step is lost.
        }
        Open_ = std::make_unique<TPending>(TPending{text, mergeId, Snapshot()});
    }
    ++Depth_;
}

void TLayoutHistory::End()
{
    if (Depth_ == 0 || --Depth_ > 0 || !Open_)
        return;
    std::unique_ptr<TPending> pending = std::move(Open_);
    try {
        Record(std::move(*pending));
    } catch (...) {
        // The change stands; only its step is lost.
    }
}

void TLayoutHistory::BeginDrag(const QString& text)
{
    EndDrag();
    if (Depth_ == 0)
        Drag_ = std::make_unique<TPending>(TPending{text, -1, Snapshot()});
}

void TLayoutHistory::EndDrag()
{
    if (!Drag_)
        return;
    std::unique_ptr<TPending> pending = std::move(Drag_);
    Record(std::move(*pending));
}

void TLayoutHistory::Record(TPending pending)
{
    TSnapshot after = Snapshot();
    std::vector<TLayoutCommand::TChange> changes;
    std::map<TRectBox*, const TBoxState*> now;
    for (const auto& [box, state] : after.Boxes)
        now[box.data()] = &state;
    std::set<TRectBox*> seen;
    for (const auto& [box, before] : pending.Before.Boxes) {
        if (!box) // freed while recording: nothing to bring back
            continue;
        seen.insert(box.data());
        const auto it = now.find(box.data());
        const TBoxState after = it != now.end() ? *it->second : CaptureBox(*box);
        if (!(before == after))
            changes.push_back({box, before, after});
    }
    for (const auto& [box, state] : after.Boxes) {
        if (!box || seen.count(box.data()))
            continue;
        // Added by this step: before it the box was out of the layout.
        TBoxState before = state;
        before.Live = false;
        before.LinkChild = nullptr;
        before.LinkParent = nullptr;
        changes.push_back({box, before, state});
    }
    if (changes.empty() && pending.Before.Pages == after.Pages)
        return;
    Stack_->push(new TLayoutCommand(*this, pending.Text, pending.MergeId, std::move(changes),
                                    std::move(pending.Before), std::move(after)));
}

void TLayoutHistory::Ref(QObject* object)
{
    auto& entry = Refs_[object];
    if (entry.first++ == 0)
        entry.second = object;
}

void TLayoutHistory::Unref(QObject* object)
{
    const auto it = Refs_.find(object);
    if (it == Refs_.end() || --it->second.first > 0)
        return;
    const QPointer<QObject> alive = it->second.second;
    Refs_.erase(it);
    if (!alive)
        return;
    // Out of the layout and no step left to bring it back: free it.
    if (auto* box = qobject_cast<TRectBox*>(alive.data())) {
        if (!box->Owner())
            delete box;
    } else if (auto* page = qobject_cast<TCanvasPanel*>(alive.data())) {
        if (!Host_.LayoutPages().contains(page))
            delete page;
    }
}

} // namespace tessaria
