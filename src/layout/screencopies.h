#pragma once
// The pictures the boxes show on the screen. A box shows a copy of its
// picture made for its size there (at the zoom and the device pixel ratio):
// from its reduced copy when that is large enough, otherwise read again from
// its file by one background reader (a JPEG at the reduced scale its size
// needs), turned as the box is. Copies are made
// when a box is painted, kept while they fit, and dropped oldest first when
// they pass a memory budget. Until a copy is ready the box shows the best
// image there is (an older copy, or the reduced copy), stretched.
// Nothing of this is stored in a document.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "imageio/bitmap.h"

namespace tessaria {

class TRectBox;

class TScreenCopies : public QObject {
    Q_OBJECT
public:
    explicit TScreenCopies(QObject* parent = nullptr);
    ~TScreenCopies() override;

    // The image to draw a box's picture with at that size in device pixels;
    // null when the box has neither a copy nor a reduced copy. Asks for a
    // copy of that size when there is none.
    QImage For(TRectBox& box, const QSize& deviceSize);
    // Whether the box has a copy made for that size.
    bool HasCopy(const TRectBox& box, const QSize& deviceSize) const;
    // Makes every copy asked for and delivers them (tests, benchmarks).
    void WaitForAll();

    qint64 BytesKept() const { return Bytes_; }
    void SetBudget(qint64 bytes);
    // Requests wait this long for more of the same box (a box being resized).
    void SetDelay(int milliseconds) { Timer_.setInterval(milliseconds); }
    // Off, boxes draw their reduced copies stretched, as before copies were
    // made for the screen; what is kept stays (benchmarks compare the two).
    void SetActive(bool active) { Active_ = active; }

signals:
    // A box's copy arrived: it should be painted again.
    void Made(TRectBox* box);

private:
    // What a copy is made from and for; a change of any part needs a new copy.
    struct TKey {
        const void* Reduced = nullptr; // the box's reduced copy: a new one means a new picture or turn
        QString File;
        int Rotation = 0;
        QSize Size;
        bool operator==(const TKey&) const = default;
    };
    struct TEntry {
        QPointer<TRectBox> Box;
        QImage Image;
        TKey Made;     // what Image is
        TKey Wanted;   // asked for, not made yet (empty size: nothing)
        bool Failed = false; // the file could not be read for Wanted
        quint64 LastUse = 0;
    };
    struct TJob {
        const TRectBox* Box;
        TKey Key;
    };
    struct TResult {
        const TRectBox* Box;
        TKey Key;
        QImage Image; // null: the file could not be read
    };

    void Ask(TEntry& entry, const TRectBox* box, const TKey& key);
    void StartJobs();
    void Work();
    void Deliver(TResult result);
    void Keep(TEntry& entry, QImage image, const TKey& key);
    void Trim();

    std::map<const TRectBox*, TEntry> Entries_;
    bool Active_ = true;
    qint64 Bytes_ = 0;
    qint64 Budget_ = 256LL << 20;
    quint64 Uses_ = 0;
    QTimer Timer_;
    std::map<const TRectBox*, TKey> Waiting_; // asked for, not yet handed to the reader

    // The reader: one thread, so that one full picture at a time is in memory.
    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::deque<TJob> Jobs_;
    int Busy_ = 0;
    bool Stop_ = false;
    std::thread Reader_;
};

// A picture file read for the screen at a size, turned by `rotation`
// degrees clockwise first; null when it cannot be read.
QImage ReadScreenCopy(const QString& file, int rotation, const QSize& size);
// The same from a bitmap already in memory.
QImage ScaledScreenCopy(const QImage& picture, const QSize& size);

} // namespace tessaria
