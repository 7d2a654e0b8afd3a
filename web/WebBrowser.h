#pragma once
// A web browser placeholder that starts the browser engine only when it is first
// used. A player that only plays movies therefore never starts a browser process.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QWebEngineNewWindowRequest;
class QWebEnginePage;
class QWebEngineView;

namespace plavex::web {

class TWebBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit TWebBrowser(QWidget* parent = nullptr);
  ~TWebBrowser() override;

  // A silent browser shows no script dialogs (alert, confirm, prompt).
  void setSilent(bool silent);
  bool Silent() const { return silent_; }

  // The address loaded when the engine is started for some other reason first.
  // Unlike Navigate it does not start the engine.
  void setInitialAddress(const QString& address) { initialAddress_ = address; }
  QString InitialAddress() const { return initialAddress_; }

  void Navigate(const QString& address);
  // The address shown, or the pending initial address while the engine is not started.
  QUrl LocationURL() const;
  bool Busy() const { return busy_; }

  // True once the browser engine of this browser has been started.
  bool IsStarted() const { return view_ != nullptr; }
  // Starts the engine if needed; the page is valid for the browser's life.
  QWebEngineView* View();
  QWebEnginePage* Page();

 signals:
  void DocumentComplete(const QUrl& url);
  void NavigateComplete(const QUrl& url);
  void ProgressChange(int percent);
  // A page asked for a new window; handle it (e.g. openIn) during the emission.
  void NewWindow(QWebEngineNewWindowRequest& request);

 private:
  void start();

  QWebEngineView* view_ = nullptr;  // child widget, created on first use
  QString initialAddress_;
  bool silent_ = false;
  bool busy_ = false;
};

}  // namespace plavex::web
