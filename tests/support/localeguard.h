#pragma once
// The program's default locale for one test (the paper without a printer
// follows it), and the system's back at the end.

#include <QLocale>

namespace tessaria::test {

class LocaleGuard {
public:
    explicit LocaleGuard(const char* name) { QLocale::setDefault(QLocale(QString::fromLatin1(name))); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::system()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;
};

} // namespace tessaria::test
