#include "engine/core/Loader.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include "engine/core/DownloadCache.h"

namespace plavex::engine {

namespace {
constexpr qint64 kLocalChunk = 256 * 1024;
}

Loader::Loader(QObject* parent) : QObject(parent) {}

Loader::~Loader() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
  }
}

bool Loader::isWebAddress(const QString& address) {
  return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void Loader::load(const QString& address, const QString& baseFolder) {
  if (isWebAddress(address)) {
    url_ = address;
    network_ = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &Loader::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &Loader::onReplyFinished);
    return;
  }
  QString path = address;
  if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) path = QUrl(address).toLocalFile();
  if (!baseFolder.isEmpty() && QDir::isRelativePath(path)) path = QDir(baseFolder).filePath(path);
  file_ = std::make_unique<QFile>(path);
  QTimer::singleShot(0, this, [this] {
    if (!file_->open(QIODevice::ReadOnly)) {
      complete(false);
      return;
    }
    readLocalChunk();
  });
}

void Loader::readLocalChunk() {
  if (finished_ || !file_) return;
  QByteArray chunk = file_->read(kLocalChunk);
  if (!chunk.isEmpty()) feed(chunk);
  if (finished_) return;
  if (chunk.size() < kLocalChunk || file_->atEnd()) {
    complete(file_->error() == QFile::NoError);
    return;
  }
  QTimer::singleShot(0, this, &Loader::readLocalChunk);
}

void Loader::loadBytes(const QByteArray& bytes) {
  feed(bytes);
  if (!finished_) complete(true);
}

void Loader::feed(const QByteArray& bytes) {
  parser_->feed(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                              static_cast<std::size_t>(bytes.size())));
  if (parser_->failed()) {
    complete(false);
    return;
  }
  emit progressed();
}

void Loader::onReadyRead() {
  if (!reply_ || finished_) return;
  int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 400) return;  // the error page is not a movie; finished() reports the failure
  QByteArray bytes = reply_->readAll();
  downloaded_ += bytes;
  feed(bytes);
}

void Loader::onReplyFinished() {
  if (!reply_ || finished_) return;
  int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  bool ok = reply_->error() == QNetworkReply::NoError && status < 400;
  if (ok) {
    QByteArray rest = reply_->readAll();
    if (!rest.isEmpty()) {
      downloaded_ += rest;
      feed(rest);
    }
  }
  reply_->deleteLater();
  if (finished_) return;
  complete(ok);
  if (succeeded() && parser_->endReached()) DownloadCache::instance().store(url_, downloaded_);
}

void Loader::complete(bool transferOk) {
  if (finished_) return;
  if (!transferOk && !parser_->header()) {
    // Nothing usable arrived.
    parser_->finish();
    finished_ = true;
    emit finishedLoading(false);
    return;
  }
  parser_->finish();
  finished_ = true;
  emit finishedLoading(!parser_->failed());
}

}  // namespace plavex::engine
