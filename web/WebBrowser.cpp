#include "WebBrowser.h"

#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace plavex::web {
namespace {

// A page that keeps quiet when its owner asked for silence.
class TSilentPage : public QWebEnginePage {
 public:
  TSilentPage(bool silent, QObject* parent) : QWebEnginePage(parent), silent_(silent) {}
  void setSilent(bool silent) { silent_ = silent; }

 protected:
  void javaScriptAlert(const QUrl& origin, const QString& msg) override {
    if (!silent_) QWebEnginePage::javaScriptAlert(origin, msg);
  }
  bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
    return silent_ ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
  }
  bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& defaultValue,
                        QString* result) override {
    return silent_ ? false : QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
  }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int line, const QString& source) override {
    if (!silent_) QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
  }

 private:
  bool silent_;
};

}  // namespace

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
}

TWebBrowser::~TWebBrowser() = default;

void TWebBrowser::start() {
  if (view_) return;
  auto* view = new QWebEngineView(this);
  view->setObjectName(objectName() + QStringLiteral("View"));
  auto* page = new TSilentPage(silent_, view);
  view->setPage(page);
  layout()->addWidget(view);
  view_ = view;
  connect(page, &QWebEnginePage::loadStarted, this, [this] { busy_ = true; });
  connect(page, &QWebEnginePage::loadProgress, this, &TWebBrowser::ProgressChange);
  connect(page, &QWebEnginePage::urlChanged, this, &TWebBrowser::NavigateComplete);
  connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool) {
    busy_ = false;
    emit DocumentComplete(page->url());
  });
  connect(page, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest& request) { emit NewWindow(request); });
  if (!initialAddress_.isEmpty()) page->load(QUrl(initialAddress_));
}

QWebEngineView* TWebBrowser::View() {
  start();
  return view_;
}

QWebEnginePage* TWebBrowser::Page() { return View()->page(); }

void TWebBrowser::setSilent(bool silent) {
  silent_ = silent;
  if (view_) static_cast<TSilentPage*>(view_->page())->setSilent(silent);
}

void TWebBrowser::Navigate(const QString& address) {
  // A navigation replaces the pending initial one.
  initialAddress_.clear();
  start();
  view_->page()->load(QUrl::fromUserInput(address));
}

QUrl TWebBrowser::LocationURL() const {
  if (view_) return view_->page()->url();
  return QUrl(initialAddress_);
}

}  // namespace plavex::web
