#include "shell/qt_image_batch.h"

#include <QDir>
#include <QString>

namespace velquin {

QtBatchPictures::QtBatchPictures() {
  for (const PictureSpec& spec : kPictures) {
    pictures_[static_cast<std::size_t>(spec.id)] =
        std::make_unique<QtPicture>(spec.width, spec.height, spec.background);
  }
}

std::string QtBatchPictures::Save(const std::string& directory) {
  const QDir folder(directory.empty() ? QStringLiteral(".") : QString::fromStdString(directory));
  for (const PictureSpec& spec : kPictures) {
    const QString file = QString::fromLatin1(spec.name) + QStringLiteral(".png");
    const QString path = directory.empty() ? file : folder.filePath(file);
    std::string error = image(spec.id).Save(path);
    if (!error.empty()) return error;
  }
  return {};
}

}  // namespace velquin
