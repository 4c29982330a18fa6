// See ExplorerDbFixture.h: the recorder that stands in for the desktop's program for workbooks.
#include "ExplorerDbFixture.h"

namespace lumidesktest {

void OpenedWorkbooks::open(const QUrl& url) {
    paths << url.toLocalFile();
}

} // namespace lumidesktest
