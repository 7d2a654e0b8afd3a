// Saving the movie on screen: a copy of the local file, or of the download cache's
// copy of a web movie, under a name the user chooses.

#include <QFile>
#include <QFileDialog>
#include <QSaveFile>

#include "FileFilter.h"
#include "MainFrm.h"
#include "MovieCache.h"
#include "PlayListTableModel.h"
#include "engine/control/FlashPlayerControl.h"

namespace plavex {

namespace {

// Copies through a temporary file renamed into place: an existing target is replaced
// only by a complete copy. Failures are silent, as the command reports nothing.
bool CopyMovieFile(const QString& source, const QString& target) {
  if (source.isEmpty() || target.isEmpty()) return false;
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) return false;
  QSaveFile out(target);
  if (!out.open(QIODevice::WriteOnly)) return false;
  char buffer[64 * 1024];
  for (;;) {
    const qint64 n = in.read(buffer, sizeof buffer);
    if (n < 0) {
      out.cancelWriting();
      return false;
    }
    if (n == 0) break;
    if (out.write(buffer, n) != n) {
      out.cancelWriting();
      return false;
    }
  }
  return out.commit();
}

}  // namespace

void TMainFrm::SBSaveClick() {
  SD1->selectFile(QString());
  const auto& entries = PlyListModel->List().Entries();
  for (const TPlayListEntry& entry : entries) {
    if (entry.mark == MarkCurrent) {
      SD1->selectFile(entry.caption);
      break;
    }
  }
  SD1->setDefaultSuffix(QStringLiteral("swf"));
  SD1->setNameFilters(QtFilterFromWindowsFilter(QString::fromUtf16(kMovieFilter)));
  const QStringList files = RunFileDialog(SD1);
  if (files.isEmpty()) return;
  CopyMovieFile(MovieSourceFile(Flash1->Movie()), files.first());
}

}  // namespace plavex
