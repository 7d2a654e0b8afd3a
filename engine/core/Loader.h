#pragma once
// Loading a movie from a local path, a file: URL or an http(s) URL, in the background,
// feeding the bytes to the progressive reader as they arrive. Web downloads go to the
// download cache once complete.

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "engine/core/ProgressiveParser.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace plavex::engine {

class Loader : public QObject {
  Q_OBJECT
 public:
  explicit Loader(QObject* parent = nullptr);
  ~Loader() override;

  // Starts loading and returns at once. A relative path is taken against `baseFolder`.
  void load(const QString& address, const QString& baseFolder = {});
  // Reads a movie held in memory at once.
  void loadBytes(const QByteArray& bytes);

  ProgressiveParser& parser() { return *parser_; }
  bool finished() const { return finished_; }
  bool succeeded() const { return finished_ && !parser_->failed() && parser_->header(); }

  static bool isWebAddress(const QString& address);

 signals:
  void progressed();              // new bytes were read
  void finishedLoading(bool ok);  // the movie is complete, or loading failed

 private:
  void readLocalChunk();
  void onReadyRead();
  void onReplyFinished();
  void feed(const QByteArray& bytes);
  void complete(bool transferOk);

  std::unique_ptr<ProgressiveParser> parser_ = std::make_unique<ProgressiveParser>();
  std::unique_ptr<QFile> file_;
  QNetworkAccessManager* network_ = nullptr;  // child of this object
  QPointer<QNetworkReply> reply_;
  QString url_;
  QByteArray downloaded_;
  bool finished_ = false;
};

}  // namespace plavex::engine
