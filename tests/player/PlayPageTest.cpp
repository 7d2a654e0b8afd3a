// The play page driven on the real window: transport and its timers (the timer slots
// are called directly), marks, the list commands, PLF files, screen and sound, saving,
// start-up and closing.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <deque>

#include "ComVar.h"
#include "MainFrmFixture.h"
#include "PlayListTableModel.h"
#include "PlayListView.h"
#include "RemoteControl.h"
#include "controls/ImgBtn.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"
#include "tests/support/TestMovies.h"

namespace plavex {
namespace {

using engine::TFlashPlayerControl;

const QString kCaption = QStringLiteral("AmbrelFlash播放器");

class PlayPageTest : public testing::MainFrmTest {
 protected:
  void SetUp() override {
    MainFrmTest::SetUp();
    TDesktopServices services;
    services.showError = [this](const QString& text, const QString&) { errors << text; };
    services.runFileDialog = [this](QFileDialog* dialog) {
      dialogs << dialog->objectName();
      proposed << dialog->selectedFiles().value(0);
      if (answers.empty()) return QStringList();
      QStringList answer = answers.front();
      answers.pop_front();
      return answer;
    };
    services.inputText = [this](const QString&, const QString&) -> std::optional<QString> {
      if (typed.empty()) return std::nullopt;
      QString text = typed.front();
      typed.pop_front();
      return text;
    };
    services.selectFolder = [this](const QString&) -> std::optional<QString> { return folderAnswer; };
    window->setDesktopServices(services);
    TFlashPlayerControl::setAudioEnabled(true);
    TFlashPlayerControl::setAudioVolume(100);
  }

  // A movie file: 400 x 300 stage, `frames` frames at `rate` fps.
  QString Movie(const QString& name, int frames = 24, double rate = 12, int w = 400, int h = 300) {
    const QString path = folder.filePath(name);
    EXPECT_TRUE(testmovies::WriteFile(path, testmovies::MovingSquareMovie(w, h, frames, rate)));
    return path;
  }
  QString Missing(const QString& name) const { return folder.filePath(name); }

  const TPlayList& List() const { return window->PlyListModel->List(); }
  int Mark(int i) const { return List().At(i).mark; }

  // Waits (with a limit) until the engine has the movie, or has given up on it.
  void WaitForEngine() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && window->Flash1->PercentLoaded() < 100 && window->Flash1->ReadyState() != 4)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  // Opens entry `index` and runs the check and load ticks until it plays.
  void OpenAndLoad(int index) {
    window->OpenPlayListItem(index);
    WaitForEngine();
    window->TimerCheckTimer();
    window->TimerLoadTimer();
  }

  QStringList errors, dialogs, proposed;
  std::deque<QStringList> answers;
  std::deque<QString> typed;
  std::optional<QString> folderAnswer;
};

// ---------------------------------------------------------------- transport

TEST_F(PlayPageTest, OpeningAnEntryShowsTheOpeningState) {
  const QString movie = Movie("clip.swf");
  window->AddToPlayList(movie);
  window->ShowPage(2);
  window->OpenPlayListItem(0);
  EXPECT_EQ(window->Flash1->Movie(), movie);
  EXPECT_EQ(window->CurrentIndex, 0);
  EXPECT_EQ(Mark(0), MarkCurrent);
  EXPECT_EQ(window->SelectedIndex(), 0);
  EXPECT_FALSE(window->Stopped);
  EXPECT_TRUE(window->TimerCheck->isActive());
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("正在打开动画..."));
  EXPECT_FALSE(window->PanPlayProgress->isHidden());
  EXPECT_EQ(window->ActivePage(), 0);
  EXPECT_TRUE(window->BtnPause->isVisibleTo(window.get()));
  EXPECT_FALSE(window->BtnPlay->isVisibleTo(window.get()));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("clip.swf - ") + kCaption + QStringLiteral("    "));
}

TEST_F(PlayPageTest, CheckAndLoadTicksTakeTheMovieToPlaying) {
  window->show();
  QApplication::processEvents();
  const QString movie = Movie("clip.swf", 30, 12);  // 2.5 s: rounds to the even 2
  window->AddToPlayList(movie);
  window->OpenPlayListItem(0);
  WaitForEngine();
  window->TimerCheckTimer();
  EXPECT_FALSE(window->TimerCheck->isActive());
  EXPECT_TRUE(window->TimerLoad->isActive());
  EXPECT_EQ(window->PP1->Max(), 30);
  EXPECT_TRUE(window->SbFullScreenOn->isEnabled());
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("正在加载影片..."));

  window->TimerLoadTimer();
  EXPECT_FALSE(window->TimerLoad->isActive());
  EXPECT_TRUE(window->TimerPlay->isActive());
  EXPECT_TRUE(window->SBSave->isEnabled());
  EXPECT_EQ(window->PP1->PosLoad(), 30);
  EXPECT_EQ(window->MovieWidth, 400);
  EXPECT_EQ(window->MovieHeight, 300);
  EXPECT_EQ(window->MovieFrameRate, 12.0f);
  EXPECT_EQ(window->LbAllFrames->text(), QStringLiteral("00:02"));
  EXPECT_EQ(window->LbCurFrames->text(), QStringLiteral("00:00"));
  EXPECT_EQ(List().At(0).timeText, QStringLiteral("00:02"));
  EXPECT_FALSE(window->PanFrames->isHidden());
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("播放"));
  // The window takes the movie's size plus its margin around Flash1.
  EXPECT_EQ(window->width(), window->FrameMarginWidth + 400);
  EXPECT_EQ(window->height(), window->FrameMarginHeight + 300);
}

TEST_F(PlayPageTest, LoadTickShowsThePercentage) {
  window->AddToPlayList(Movie("clip.swf"));
  window->OpenPlayListItem(0);
  window->TimerCheck->stop();
  window->TimerLoad->stop();
  // Before any data: the load tick shows 0 % and goes on waiting.
  if (window->Flash1->PercentLoaded() == 0) {
    window->TimerLoadTimer();
    EXPECT_EQ(window->PanStatus->text(), QStringLiteral("正在加载影片...0%"));
  }
}

TEST_F(PlayPageTest, MovieWithoutFrameRateShowsFrameNumbers) {
  window->AddToPlayList(Movie("still.swf", 10, 0));
  OpenAndLoad(0);
  EXPECT_EQ(window->LbAllFrames->text(), QStringLiteral("10"));
  EXPECT_EQ(window->LbCurFrames->text(), QStringLiteral("0"));
  EXPECT_EQ(List().At(0).timeText, QStringLiteral("10"));
}

TEST_F(PlayPageTest, PlayTickFollowsThePositionAndScrollsTheTitle) {
  window->AddToPlayList(Movie("ab.swf", 240, 12));
  OpenAndLoad(0);
  QElapsedTimer clock;
  clock.start();
  while (window->Flash1->CurrentFrame() < 3 && clock.elapsed() < 3000)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  window->TimerPlay->stop();
  const QString before = window->ScrollTitle;
  window->TimerPlayTimer();
  EXPECT_EQ(window->PP1->PosPlay(), window->Flash1->CurrentFrame());
  EXPECT_EQ(window->ScrollTitle, before.mid(1) + before.left(1));
  EXPECT_EQ(window->windowTitle(), window->ScrollTitle);

  window->ActPauseExecute();
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("暂停"));
  EXPECT_TRUE(window->ActPlay->isEnabled());
  EXPECT_FALSE(window->ActPause->isEnabled());
  const QString paused = window->ScrollTitle;
  window->TimerPlayTimer();
  EXPECT_EQ(window->ScrollTitle, paused) << "a paused movie does not scroll the title";
  window->ActPlayExecute();
  EXPECT_TRUE(window->Flash1->Playing());
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("播放"));
}

TEST_F(PlayPageTest, StopReturnsToTheIdleMovie) {
  window->AddToPlayList(Movie("clip.swf"));
  OpenAndLoad(0);
  window->ActStopExecute();
  EXPECT_TRUE(window->Stopped);
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  EXPECT_EQ(Mark(0), MarkNone);
  EXPECT_FALSE(window->TimerCheck->isActive() || window->TimerLoad->isActive() || window->TimerPlay->isActive());
  EXPECT_FALSE(window->SBSave->isEnabled());
  EXPECT_FALSE(window->SbFullScreenOn->isEnabled());
  EXPECT_TRUE(window->PanPlayProgress->isHidden());
  EXPECT_TRUE(window->PanFrames->isHidden());
  EXPECT_EQ(window->windowTitle(), kCaption);
  EXPECT_EQ(window->CurrentIndex, 0) << "the index survives a stop";
}

TEST_F(PlayPageTest, MissingMovieIsMarkedInvalidAndStopsWithoutAutoMode) {
  window->AddToPlayList(Missing("gone.swf"));
  window->AddToPlayList(Movie("next.swf"));
  window->OpenPlayListItem(0);
  WaitForEngine();
  window->TimerCheckTimer();
  EXPECT_EQ(Mark(0), MarkInvalid);
  EXPECT_EQ(List().At(0).timeText, QStringLiteral("Err"));
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  EXPECT_TRUE(window->Stopped);
  // Opening another movie keeps the cross of the failed one.
  window->OpenPlayListItem(1);
  EXPECT_EQ(Mark(0), MarkInvalid);
}

TEST_F(PlayPageTest, AutoModeSkipsAMissingMovie) {
  window->AddToPlayList(Missing("gone.swf"));
  window->AddToPlayList(Movie("next.swf"));
  window->SB_AUTOMouseDown();
  EXPECT_TRUE(window->AutoMode);
  EXPECT_TRUE(window->SB_AUTO->isChecked());
  window->OpenPlayListItem(0);
  WaitForEngine();
  window->TimerCheckTimer();
  EXPECT_EQ(Mark(0), MarkInvalid);
  EXPECT_EQ(window->CurrentIndex, 1);
  EXPECT_EQ(window->Flash1->Movie(), List().At(1).address);
}

TEST_F(PlayPageTest, AutoModeAdvancesAtTheLastFrameAndPushesAHaltedMovie) {
  window->AddToPlayList(Movie("one.swf", 5, 12));
  window->AddToPlayList(Movie("two.swf", 5, 12));
  window->SetAutoMode(true);
  OpenAndLoad(0);
  window->TimerPlay->stop();
  window->ActPauseExecute();
  window->PP1->setPosPlay(2);
  window->Flash1->GotoFrame(2);
  window->TimerPlayTimer();
  EXPECT_TRUE(window->Flash1->Playing()) << "auto mode keeps the movie playing";
  EXPECT_GE(window->Flash1->CurrentFrame(), 3) << "a movie that did not advance is pushed on";
  window->Flash1->GotoFrame(4);
  window->TimerPlayTimer();
  EXPECT_EQ(window->CurrentIndex, 1);
  EXPECT_EQ(window->Flash1->Movie(), List().At(1).address);
}

TEST_F(PlayPageTest, NextAndPreviousHaveNoWrapAround) {
  window->AddToPlayList(Movie("a.swf"));
  window->AddToPlayList(Movie("b.swf"));
  window->ActPreExecute();  // CurrentIndex -1: previous stops
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  window->ActNextExecute();  // -1 + 1 opens the first entry
  EXPECT_EQ(window->CurrentIndex, 0);
  window->ActNextExecute();
  EXPECT_EQ(window->CurrentIndex, 1);
  window->ActNextExecute();  // after the last: idle, the index stays
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  EXPECT_EQ(window->CurrentIndex, 1);
  window->ActPreExecute();
  EXPECT_EQ(window->CurrentIndex, 0);
}

TEST_F(PlayPageTest, PlayWithNothingOpenChoosesTheSelectedOrTheFirstEntry) {
  window->ActPlayExecute();  // empty list: nothing
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  window->AddToPlayList(Movie("a.swf"));
  window->AddToPlayList(Movie("b.swf"));
  window->ActPlayExecute();
  EXPECT_EQ(window->CurrentIndex, 0);
  window->ActStopExecute();
  window->SelectEntry(1);
  window->ActPlayExecute();
  EXPECT_EQ(window->CurrentIndex, 1);
  // While opening, play does nothing.
  const QString open = window->Flash1->Movie();
  window->SelectEntry(0);
  window->ActPlayExecute();
  EXPECT_EQ(window->Flash1->Movie(), open);
}

TEST_F(PlayPageTest, PlayUrlOfAnAddressInOtherLetterCaseOnlyStops) {
  const QString movie = Movie("Clip.swf");
  window->AddToPlayList(movie);
  window->PlayUrl(movie);
  EXPECT_EQ(window->CurrentIndex, 0);
  window->AddToPlayList(movie.toUpper());
  EXPECT_EQ(List().Count(), 1);
  window->PlayUrl(movie.toUpper());
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
}

TEST_F(PlayPageTest, EjectAddsAndPlaysThePickedFile) {
  const QString movie = Movie("picked.swf");
  answers.push_back({movie});
  window->SbEjectClick();
  EXPECT_EQ(dialogs.value(0), QStringLiteral("OD1"));
  EXPECT_EQ(window->OD1->defaultSuffix(), QStringLiteral("swf"));
  EXPECT_EQ(window->OD1->nameFilters().value(0), QStringLiteral("Flash影片（*.SWF） (*.swf)"));
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().At(0).title, QStringLiteral("picked.swf"));
  EXPECT_EQ(window->Flash1->Movie(), movie);
  window->SbEjectClick();  // cancelled
  EXPECT_EQ(List().Count(), 1);
}

// ---------------------------------------------------------------- marks and list editing

TEST_F(PlayPageTest, DrawingRuleGivesMarksAndColours) {
  const QString a = Movie("a.swf");
  window->AddToPlayList(a);
  window->AddToPlayList(Movie("b.swf"), {}, QStringLiteral("Err"));
  window->AddToPlayList(Movie("c.swf"));
  window->OpenPlayListItem(0);
  auto* delegate = qobject_cast<TPlayListDelegate*>(window->PlyList->itemDelegate());
  ASSERT_NE(delegate, nullptr);
  const auto colour = [&](int row) { return delegate->EntryColour(window->PlyListModel->index(row, 1)); };
  EXPECT_EQ(Mark(0), MarkCurrent);
  EXPECT_EQ(colour(0), QColor(255, 128, 64));
  EXPECT_EQ(Mark(1), MarkInvalid) << "an entry saved as Err shows the cross";
  EXPECT_EQ(colour(1), QColor(128, 128, 128));
  EXPECT_EQ(Mark(2), MarkNone);
  EXPECT_EQ(colour(2), QColor(0, 0, 128));
  // A current entry that failed is grey with the cross.
  window->PlyListModel->SetTimeText(0, QStringLiteral("Err"));
  window->OpenPlayListItem(0);
  EXPECT_EQ(Mark(0), MarkInvalid);
  EXPECT_EQ(colour(0), QColor(128, 128, 128));
  EXPECT_EQ(window->PlyListModel->index(0, 0).data(Qt::ToolTipRole).toString(), a);
}

TEST_F(PlayPageTest, DeleteCommandsAndKeys) {
  for (const char* name : {"a.swf", "b.swf", "c.swf", "d.swf"}) window->AddToPlayList(Missing(name));
  window->PlyListModel->SetTimeText(1, QStringLiteral("Err"));
  window->PlyListModel->SetMark(1, MarkInvalid);
  window->PlyListModel->SetTimeText(2, QStringLiteral("Err"));
  window->PlyListModel->SetMark(2, MarkInvalid);
  window->P2Click();  // two adjacent invalid entries go at once
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().At(1).title, QStringLiteral("d.swf"));

  window->MISaveFlashClick();  // nothing selected
  EXPECT_EQ(List().Count(), 2);
  window->SelectEntry(0);
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ShiftModifier);
  QApplication::sendEvent(window->PlyList, &del);
  ASSERT_EQ(List().Count(), 1);
  window->SelectEntry(0);
  QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Period, Qt::KeypadModifier, QStringLiteral("."));
  QApplication::sendEvent(window->PlyList, &keypad);
  EXPECT_EQ(List().Count(), 0);

  window->AddToPlayList(Missing("x.swf"));
  window->AddToPlayList(Missing("y.swf"));
  window->N3Click();
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(PlayPageTest, DeleteKeyWhileRenamingEditsTheText) {
  window->AddToPlayList(Missing("a.swf"));
  window->show();
  window->SelectEntry(0);
  window->PlyList->edit(window->PlyListModel->index(0, 1));
  ASSERT_TRUE(window->PlyList->Editing());
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(window->PlyList, &del);
  EXPECT_EQ(List().Count(), 1);
}

TEST_F(PlayPageTest, RenameSetsTitleAndCaption) {
  window->AddToPlayList(Missing("a.swf"));
  window->PlyListModel->setData(window->PlyListModel->index(0, 0), QStringLiteral("新名字"));
  EXPECT_EQ(List().At(0).title, QStringLiteral("新名字"));
  EXPECT_EQ(List().At(0).caption, QStringLiteral("新名字"));
  EXPECT_EQ(List().At(0).address, Missing("a.swf"));
}

TEST_F(PlayPageTest, DragReorderMovesTheSelectedEntry) {
  const auto titles = [&] {
    QStringList t;
    for (const auto& e : List().Entries()) t << e.title;
    return t.join(u',');
  };
  for (const char* name : {"1.swf", "2.swf", "3.swf"}) window->AddToPlayList(Missing(name));
  window->SelectEntry(0);
  window->PlyListDragDrop(2);  // onto the third
  EXPECT_EQ(titles(), QStringLiteral("2.swf,1.swf,3.swf"));
  EXPECT_EQ(window->SelectedIndex(), 1);
  window->PlyListDragDrop(-1);  // below the last
  EXPECT_EQ(titles(), QStringLiteral("2.swf,3.swf,1.swf"));
  EXPECT_EQ(window->SelectedIndex(), 2);
  window->PlyListDragDrop(2);  // onto itself
  EXPECT_EQ(titles(), QStringLiteral("2.swf,3.swf,1.swf"));
}

TEST_F(PlayPageTest, DoubleClickPlaysTheSelectedEntry) {
  window->AddToPlayList(Movie("a.swf"));
  window->AddToPlayList(Movie("b.swf"));
  window->PlyListDblClick();
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
  window->SelectEntry(1);
  window->PlyListDblClick();
  EXPECT_EQ(window->CurrentIndex, 1);
}

TEST_F(PlayPageTest, AddFilesFolderAndNetworkMovie) {
  const QString a = Movie("a.swf"), b = Movie("b.swf"), c = Movie("c.swf");
  answers.push_back({a, b, c});
  window->L1Click();
  EXPECT_EQ(List().Count(), 3);
  EXPECT_EQ(window->Flash1->Movie(), a) << "idle: the first picked file plays";
  answers.push_back({Movie("d.swf")});
  window->L1Click();
  EXPECT_EQ(window->Flash1->Movie(), a) << "playing: nothing else starts";

  QDir(folder.path()).mkdir(QStringLiteral("movies"));
  QDir(folder.path()).mkpath(QStringLiteral("movies/sub"));
  testmovies::WriteFile(folder.filePath(QStringLiteral("movies/E.SWF")), "x");
  testmovies::WriteFile(folder.filePath(QStringLiteral("movies/notes.txt")), "x");
  testmovies::WriteFile(folder.filePath(QStringLiteral("movies/sub/f.swf")), "x");
  folderAnswer = folder.filePath(QStringLiteral("movies"));
  window->P1Click();
  ASSERT_EQ(List().Count(), 5);
  EXPECT_EQ(List().At(4).address, folder.filePath(QStringLiteral("movies/E.SWF")));
  EXPECT_EQ(window->Flash1->Movie(), a);

  typed.push_back(QStringLiteral("http://127.0.0.1:9/dir/clip.swf"));
  window->W1Click();
  ASSERT_EQ(List().Count(), 6);
  EXPECT_EQ(List().At(5).title, QStringLiteral("clip.swf"));
  EXPECT_EQ(window->Flash1->Movie(), QStringLiteral("http://127.0.0.1:9/dir/clip.swf"));
}

TEST_F(PlayPageTest, HidingAndShowingTheListPanel) {
  window->show();
  window->SbListCloseClick();
  EXPECT_TRUE(window->PanPlyList->isHidden());
  EXPECT_TRUE(window->SbListClose->isHidden());
  EXPECT_FALSE(window->SbListOpen->isHidden());
  window->SbListOpenClick();
  EXPECT_FALSE(window->PanPlyList->isHidden());
  EXPECT_FALSE(window->SbListClose->isHidden());
  EXPECT_TRUE(window->SbListOpen->isHidden());
  EXPECT_EQ(window->Splitter1->indexOf(window->PanPlyList), 1) << "back at the right edge";
}

// ---------------------------------------------------------------- PLF files

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(PlayPageTest, LoadingTheFourLineAndLeadingSpaceExamples) {
  const QString plf = folder.filePath(QStringLiteral("list.plf"));
  testmovies::WriteFile(plf, "a.swf\r\nb.swf^Bee\r\nc.swf^Cee^01:02\r\nd.swf^x^y^z\r\n  e.swf ^ Title\r\n");
  window->LoadPlayList(plf);
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().At(0).title, QStringLiteral("a.swf"));
  EXPECT_EQ(List().At(1).title, QStringLiteral("Bee"));
  EXPECT_EQ(List().At(2).title, QStringLiteral("Cee"));
  EXPECT_EQ(List().At(2).timeText, QStringLiteral("01:02"));
  EXPECT_EQ(List().At(3).address, QStringLiteral("e.swf "));
  EXPECT_EQ(List().At(3).title, QStringLiteral("Title"));
  EXPECT_EQ(window->Flash1->Movie(), QStringLiteral("a.swf")) << "idle: the first entry starts";
}

TEST_F(PlayPageTest, LoadingWhilePlayingKeepsTheMovieAndMissingFileChangesNothing) {
  const QString movie = Movie("playing.swf");
  window->AddToPlayList(movie);
  window->PlayUrl(movie);
  const QString plf = folder.filePath(QStringLiteral("list.plf"));
  testmovies::WriteFile(plf, "x.swf\r\nX.SWF^dup\r\n");
  window->LoadPlayList(plf);
  ASSERT_EQ(List().Count(), 1) << "duplicates collapse to the first line";
  EXPECT_EQ(List().At(0).title, QStringLiteral("x.swf"));
  EXPECT_EQ(window->Flash1->Movie(), movie);
  window->LoadPlayList(folder.filePath(QStringLiteral("none.plf")));
  EXPECT_EQ(List().Count(), 1);
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PlayPageTest, UnreadablePlayListIsReportedAndTheListStays) {
  window->AddToPlayList(Missing("keep.swf"));
  const QString dir = folder.filePath(QStringLiteral("a.plf"));
  QDir().mkpath(dir);  // a folder named like a list
  window->LoadPlayList(dir);
  EXPECT_EQ(List().Count(), 1);
}

TEST_F(PlayPageTest, SavingWritesCrLfLinesAndTheMenuCommandsUseThePlfFilter) {
  window->AddToPlayList(QStringLiteral("a.swf"), QStringLiteral("Aye"), QStringLiteral("01:00"));
  window->AddToPlayList(QStringLiteral("b.swf"));
  const QString plf = folder.filePath(QStringLiteral("saved.plf"));
  answers.push_back({plf});
  window->MenuItem2Click();
  EXPECT_EQ(window->SD1->defaultSuffix(), QStringLiteral("plf"));
  EXPECT_EQ(window->SD1->nameFilters().value(0), QStringLiteral("播放列表文件（*.PLF） (*.plf)"));
  EXPECT_EQ(ReadAll(plf), QByteArray("a.swf^Aye^01:00\r\nb.swf^b.swf^\r\n"));

  window->N3Click();
  answers.push_back({plf});
  window->MenuItem1Click();
  EXPECT_EQ(window->OD1->defaultSuffix(), QStringLiteral("plf"));
  EXPECT_EQ(List().Count(), 2);
}

// ---------------------------------------------------------------- screen and sound

TEST_F(PlayPageTest, FullScreenNeedsAMovieAndReturnsToTheSavedBounds) {
  window->show();
  window->ActFullOnExecute();
  EXPECT_FALSE(window->FullScreen) << "no movie open";
  window->AddToPlayList(Movie("clip.swf"));
  OpenAndLoad(0);
  const QRect bounds = window->geometry();
  window->ActFullOnExecute();
  EXPECT_TRUE(window->FullScreen);
  EXPECT_TRUE(window->PanTop->isHidden());
  EXPECT_TRUE(window->Pages->isHidden());
  EXPECT_EQ(window->Flash1->parentWidget(), window->centralWidget());
  EXPECT_FALSE(window->ActFullOn->isEnabled());
  EXPECT_TRUE(window->ActFullOff->isEnabled());
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->geometry().size(), window->screen()->geometry().size());

  window->EscHotKeyPressed();
  EXPECT_FALSE(window->FullScreen);
  EXPECT_EQ(window->Flash1->parentWidget(), window->PanFlash);
  EXPECT_FALSE(window->Pages->isHidden());
  EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->geometry().size(), bounds.size());
  EXPECT_TRUE(window->ActFullOn->isEnabled());
  EXPECT_FALSE(window->ActFullOff->isEnabled());

  window->EscHotKeyPressed();  // outside full screen: nothing
  EXPECT_FALSE(window->FullScreen);
  window->ActFullOnExecute();
  window->ActStopExecute();  // stop leaves full screen
  EXPECT_FALSE(window->FullScreen);
  EXPECT_EQ(window->Flash1->parentWidget(), window->PanFlash);
}

TEST_F(PlayPageTest, ScaleModes) {
  const struct {
    void (TMainFrm::*click)();
    int mode;
    QAction* TMainFrm::*item;
  } cases[] = {{&TMainFrm::MISAllClick, 1, &TMainFrm::MISAll},
               {&TMainFrm::MISScaleClick, 3, &TMainFrm::MISScale},
               {&TMainFrm::MISOrgClick, 0, &TMainFrm::MISOrg}};
  window->AddToPlayList(Movie("clip.swf"));
  for (const auto& c : cases) {
    window->OpenPlayListItem(0);
    (window.get()->*c.click)();
    EXPECT_EQ(window->ScaleSetting, c.mode);
    EXPECT_EQ(window->Flash1->ScaleMode(), c.mode);
    EXPECT_TRUE((window.get()->*c.item)->isChecked());
    window->ActStopExecute();
    EXPECT_EQ(window->Flash1->ScaleMode(), c.mode) << "stop sets the mode again on the idle movie";
  }
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint global) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(2, 2), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

TEST_F(PlayPageTest, DraggingTheThumbSeeksAndShowsTheTime) {
  window->show();
  window->AddToPlayList(Movie("clip.swf", 120, 12));
  OpenAndLoad(0);
  window->TimerPlay->stop();
  window->ActPauseExecute();
  QApplication::processEvents();
  controls::TCvMoveImage* thumb = window->PP1->Thumb();
  const int startLeft = thumb->x();
  SendMouse(thumb, QEvent::MouseButtonPress, {500, 500});
  SendMouse(thumb, QEvent::MouseMove, {500 + 150, 500});
  ASSERT_EQ(thumb->x(), startLeft + 150);
  EXPECT_TRUE(window->Dragging);
  const int target = window->PP1->ThumbPos;
  EXPECT_GT(target, 0);
  EXPECT_EQ(window->Flash1->CurrentFrame(), target);
  EXPECT_EQ(window->PP1->ToolTip(), FormatFrames(target, 12));
  EXPECT_EQ(window->LbCurFrames->text(), FormatFrames(target, 12));
  const int before = window->PP1->PosPlay();
  window->TimerPlayTimer();
  EXPECT_EQ(window->PP1->PosPlay(), before) << "the play tick leaves a held thumb alone";
  SendMouse(thumb, QEvent::MouseButtonRelease, {500 + 150, 500});
  EXPECT_EQ(window->PP1->PosPlay(), target);
  EXPECT_FALSE(window->Dragging);
  EXPECT_TRUE(window->Flash1->Playing()) << "releasing resumes the paused movie";
  EXPECT_EQ(window->PanStatus->text(), QStringLiteral("播放"));
}

TEST_F(PlayPageTest, ThumbReleasedWhereItWasPressedLetsTheBarFollowAgain) {
  window->AddToPlayList(Movie("clip.swf", 240, 12));
  OpenAndLoad(0);
  window->TimerPlay->stop();
  window->PP1ThumbDraged(window->PP1);  // a drag that ends where it began reports no change
  ASSERT_TRUE(window->Dragging);
  QElapsedTimer clock;
  clock.start();
  while (window->Flash1->CurrentFrame() < 3 && clock.elapsed() < 3000)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  window->TimerPlayTimer();
  EXPECT_FALSE(window->Dragging);
  EXPECT_EQ(window->PP1->PosPlay(), window->Flash1->CurrentFrame());
}

TEST_F(PlayPageTest, DraggingWithoutFrameRateShowsAPercentage) {
  window->AddToPlayList(Movie("still.swf", 100, 0));
  OpenAndLoad(0);
  window->PP1->ThumbPos = 40;
  window->PP1ThumbDraged(window->PP1);
  EXPECT_EQ(window->PP1->ToolTip(), QStringLiteral("40%"));
  EXPECT_EQ(window->LbCurFrames->text(), QStringLiteral("40"));
}

TEST_F(PlayPageTest, VolumeAndMuteAreProcessWide) {
  window->VCB1->setPosition(35);
  EXPECT_EQ(TFlashPlayerControl::audioVolume(), 35);
  EXPECT_EQ(window->VCB1->ToolTip(), QStringLiteral("35%"));
  window->SbMuteOnClick();
  EXPECT_FALSE(TFlashPlayerControl::audioEnabled());
  EXPECT_FALSE(window->VCB1->isEnabled());
  EXPECT_TRUE(window->SbMuteOn->isHidden());
  EXPECT_FALSE(window->SbMuteOff->isHidden());
  EXPECT_EQ(TFlashPlayerControl::audioVolume(), 35);
  window->SbMuteOffClick();
  EXPECT_TRUE(TFlashPlayerControl::audioEnabled());
  EXPECT_TRUE(window->VCB1->isEnabled());
  EXPECT_FALSE(window->SbMuteOn->isHidden());
}

TEST_F(PlayPageTest, AnyMouseButtonOnTheAutoButtonFlipsTheMode) {
  QMouseEvent right(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(window->SB_AUTO, &right);
  EXPECT_TRUE(window->AutoMode);
  QMouseEvent left(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(window->SB_AUTO, &left);
  EXPECT_FALSE(window->AutoMode);
  EXPECT_FALSE(window->SB_AUTO->isChecked());
}

// ---------------------------------------------------------------- saving the movie

TEST_F(PlayPageTest, SaveCopiesTheMovieUnderTheProposedCaption) {
  const QString movie = Movie("clip.swf");
  window->AddToPlayList(movie, QStringLiteral("我的动画"));
  OpenAndLoad(0);
  const QString target = folder.filePath(QStringLiteral("copy.swf"));
  answers.push_back({target});
  window->SBSaveClick();
  EXPECT_EQ(window->SD1->defaultSuffix(), QStringLiteral("swf"));
  EXPECT_TRUE(proposed.value(0).contains(QStringLiteral("我的动画"))) << proposed.value(0).toStdString();
  EXPECT_EQ(ReadAll(target), ReadAll(movie));
  // A web movie that is not in the cache copies nothing, silently.
  window->AddToPlayList(QStringLiteral("https://127.0.0.1:9/none.swf"));
  window->PlayUrl(QStringLiteral("https://127.0.0.1:9/none.swf"));
  const QString other = folder.filePath(QStringLiteral("web.swf"));
  answers.push_back({other});
  window->SBSaveClick();
  EXPECT_FALSE(QFile::exists(other));
  EXPECT_TRUE(errors.isEmpty());
}

// ---------------------------------------------------------------- start-up and closing

TEST_F(PlayPageTest, StartWithAMoviePathPlaysItAlone) {
  testmovies::WriteFile(window->DefaultPlayListPath(), "old.swf^Old^\r\n");
  const QString movie = Movie("start.swf");
  window->setCommandLine({movie, QStringLiteral("ignored.swf")});
  window->FormActivate();
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(window->Flash1->Movie(), movie);
  window->FormActivate();  // later activations do nothing
  EXPECT_EQ(List().Count(), 1);
  EXPECT_TRUE(window->FormCloseQuery());
  EXPECT_EQ(ReadAll(window->DefaultPlayListPath()), (movie + QStringLiteral("^start.swf^\r\n")).toLocal8Bit());
}

TEST_F(PlayPageTest, StartArgumentsChooseTheList) {
  testmovies::WriteFile(window->DefaultPlayListPath(), "default.swf\r\n");
  const QString plf = folder.filePath(QStringLiteral("Other.PLF"));
  testmovies::WriteFile(plf, "other.swf\r\n");
  const struct {
    QStringList arguments;
    const char* first;
  } cases[] = {{{}, "default.swf"},
               {{plf}, "other.swf"},
               {{QStringLiteral("Load"), QStringLiteral("By_Explorer")}, "default.swf"}};
  for (const auto& c : cases) {
    TMainFrm frame;
    frame.setDefaultPlayListPath(window->DefaultPlayListPath());
    frame.setCommandLine(c.arguments);
    frame.FormActivate();
    ASSERT_EQ(frame.PlyListModel->rowCount(), 1);
    EXPECT_EQ(frame.PlyListModel->List().At(0).address, QString::fromLatin1(c.first));
    EXPECT_EQ(frame.Flash1->Movie(), QString::fromLatin1(c.first)) << "the first entry starts";
  }
}

TEST_F(PlayPageTest, FailedSaveAtCloseKeepsTheWindowOpenAndASecondCloseSucceeds) {
  window->AddToPlayList(Missing("keep.swf"));
  window->setDefaultPlayListPath(folder.filePath(QStringLiteral("no-such-folder/Default.PLF")));
  window->show();
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(List().Count(), 1);
  window->setDefaultPlayListPath(folder.filePath(QStringLiteral("Default.PLF")));
  EXPECT_TRUE(window->close());
  EXPECT_EQ(ReadAll(window->DefaultPlayListPath()), (Missing("keep.swf") + QStringLiteral("^keep.swf^\r\n")).toLocal8Bit());
}

TEST_F(PlayPageTest, HandOverAddsTheEntriesAndPlaysTheFirstWhenIdle) {
  window->AddToPlayList(Missing("mine.swf"));
  const QString movie = Movie("chosen.swf");
  const QString plf = folder.filePath(QStringLiteral("handed.plf"));
  testmovies::WriteFile(plf, (movie + QStringLiteral("\r\n") + Missing("mine.swf") + QStringLiteral("\r\n")).toLocal8Bit());
  RemoteControl remote(*window);
  EXPECT_EQ(remote.Handle(QStringLiteral("handover"), plf).status, platform::IpcReply::Ok);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().At(1).address, movie);
  EXPECT_EQ(window->Flash1->Movie(), movie);
}

// ---------------------------------------------------------------- remote control

TEST_F(PlayPageTest, RemoteControlCommandsAndState) {
  RemoteControl remote(*window);
  const QString movie = Movie("remote.swf", 24, 12);
  const auto run = [&](const char* command, const QString& arguments = {}) {
    return remote.Handle(QString::fromLatin1(command), arguments).status;
  };
  EXPECT_EQ(run("open", movie), platform::IpcReply::Ok);
  WaitForEngine();
  window->TimerCheckTimer();
  window->TimerLoadTimer();
  EXPECT_EQ(run("volume", QStringLiteral("40")), platform::IpcReply::Ok);
  EXPECT_EQ(run("volume", QStringLiteral("400")), platform::IpcReply::BadArguments);
  EXPECT_EQ(run("mute", QStringLiteral("on")), platform::IpcReply::Ok);
  EXPECT_EQ(run("auto", QStringLiteral("on")), platform::IpcReply::Ok);
  EXPECT_EQ(run("scale", QStringLiteral("3")), platform::IpcReply::Ok);
  EXPECT_EQ(run("scale", QStringLiteral("2")), platform::IpcReply::BadArguments);
  EXPECT_EQ(run("seek", QStringLiteral("12")), platform::IpcReply::Ok);
  EXPECT_EQ(run("pause"), platform::IpcReply::Ok);

  const QJsonObject state = QJsonDocument::fromJson(remote.StateJson()).object();
  EXPECT_EQ(state.value(QStringLiteral("Movie")).toString(), movie);
  EXPECT_FALSE(state.value(QStringLiteral("Stopped")).toBool(true));
  EXPECT_EQ(state.value(QStringLiteral("PercentLoaded")).toInt(), 100);
  EXPECT_EQ(state.value(QStringLiteral("TotalFrames")).toInt(), 24);
  EXPECT_EQ(state.value(QStringLiteral("CurrentFrame")).toInt(), 12);
  EXPECT_FALSE(state.value(QStringLiteral("Playing")).toBool(true));
  EXPECT_EQ(state.value(QStringLiteral("LbAllFrames")).toString(), QStringLiteral("00:02"));
  EXPECT_EQ(state.value(QStringLiteral("LbCurFrames")).toString(), QStringLiteral("00:01"));
  EXPECT_EQ(state.value(QStringLiteral("CurrentIndex")).toInt(), 0);
  EXPECT_EQ(state.value(QStringLiteral("Volume")).toInt(), 40);
  EXPECT_TRUE(state.value(QStringLiteral("Mute")).toBool());
  EXPECT_TRUE(state.value(QStringLiteral("AutoMode")).toBool());
  EXPECT_EQ(state.value(QStringLiteral("ScaleSetting")).toInt(), 3);
  EXPECT_FALSE(state.value(QStringLiteral("FullScreen")).toBool(true));
  EXPECT_EQ(state.value(QStringLiteral("geometry")).toArray().size(), 4);
  const QJsonArray list = state.value(QStringLiteral("PlyList")).toArray();
  ASSERT_EQ(list.size(), 1);
  const QJsonObject entry = list.at(0).toObject();
  EXPECT_EQ(entry.value(QStringLiteral("caption")).toString(), QStringLiteral("remote.swf"));
  EXPECT_EQ(entry.value(QStringLiteral("mark")).toInt(), 0);
  EXPECT_EQ(entry.value(QStringLiteral("time")).toString(), QStringLiteral("00:02"));
  EXPECT_EQ(entry.value(QStringLiteral("address")).toString(), movie);

  const QString saved = folder.filePath(QStringLiteral("r.plf"));
  EXPECT_EQ(run("list-save", saved), platform::IpcReply::Ok);
  EXPECT_EQ(run("stop"), platform::IpcReply::Ok);
  EXPECT_EQ(run("list-load", saved), platform::IpcReply::Ok);
  EXPECT_EQ(window->Flash1->Movie(), movie);
  EXPECT_EQ(run("full", QStringLiteral("sideways")), platform::IpcReply::BadArguments);
  EXPECT_EQ(run("mute", QStringLiteral("off")), platform::IpcReply::Ok);
  EXPECT_EQ(run("next"), platform::IpcReply::Ok);
  EXPECT_EQ(window->Flash1->Movie(), StartMovie());
}

}  // namespace
}  // namespace plavex
