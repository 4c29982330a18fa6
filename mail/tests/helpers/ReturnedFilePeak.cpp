// Test helper: runs the collection's check of a returned file on a file, under the name the
// attachment carries, and says what came of it -- "accepted" or the refusal -- and then the peak
// memory the process took ("peak <megabytes>").
//   mail_returned_file_peak PATH NAME
#include "mail/ReturnedFile.h"
#include "support/PeakMemory.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QFile file(args.value(1));
    if (args.size() != 3 || !file.open(QIODevice::ReadOnly))
        return 2;
    const QString refusal = mail::CheckReturnedFile(file.readAll(), args[2]).refusal;
    std::printf("%s\n", refusal.isEmpty() ? "accepted" : qPrintable(refusal));
    std::printf("peak %.1f\n", testsupport::peakMegabytes());
    return 0;
}
