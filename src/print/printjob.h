#pragma once
// One print job fed page by page. The pages are drawn onto the printer on a
// thread of their own while the caller goes on (recording the next page, or
// making the next page's pictures again); at most one page waits, so memory
// stays that of a few pages whatever the job's length. A PDF file is written
// under a temporary name and takes its own only when the job has ended well.

#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/printers.h"

class QPainter;
class QPrinter;

namespace tessaria {

class TPreviewPrinter;
class TRecordedPage;

class TPrintJob {
public:
    // Starts the job on `printer`: the engine's orientation, its sheet for a
    // file, its title as the job's name; reads the printer's device values.
    TPrintJob(TPreviewPrinter& engine, QPrinter& printer);
    // A job not finished ends with what it has; a file it was writing is removed.
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    // Sends a page; when `releaseAfter` its images are let go once drawn (the
    // page is the job's until then). Raises what went wrong with an earlier page.
    void Add(TRecordedPage& page, bool releaseAfter);
    // Ends the job and waits for it; raises what went wrong.
    void Finish();

    const TDeviceValues& DeviceValues() const { return Device_; }
    int PagesSent() const { return Sent_; }

private:
    struct TItem {
        TRecordedPage* Page;
        bool Release;
    };
    void Work();
    bool Begin();
    void Play(const TItem& item);
    void End(bool keepOutput);
    void RethrowFailure();

    QPrinter& Printer_;
    TDeviceValues Device_;
    QString FinalFile_; // the file a PDF job is for; empty for a printer
    QString PartFile_;
    std::unique_ptr<QPainter> Painter_;
    int Sent_ = 0;
    bool Threaded_ = false;
    bool Finished_ = false;

    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::deque<TItem> Queue_;
    bool Closing_ = false;   // no more pages come
    std::exception_ptr Failure_;
    std::thread Worker_;
};

} // namespace tessaria
