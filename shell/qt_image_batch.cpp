#include "shell/qt_image_batch.h"

#include <QDir>
#include <QString>

namespace velquin {

QtBatchPictures::QtBatchPictures()
    : airfoil_(400, 200, kLightYellow),
      pressure_(401, 233, kLightYellow),
      matrix_(200, 200, kWhite) {}

std::string QtBatchPictures::Save(const std::string& directory) {
  const QDir folder(directory.empty() ? QStringLiteral(".") : QString::fromStdString(directory));
  const struct {
    const QtPicture& picture;
    const char* file;
  } pictures[] = {{airfoil_, "Picture_Airfoil.png"},
                  {pressure_, "Picture_Pressure.png"},
                  {matrix_, "Picture_Matrix.png"}};
  for (const auto& entry : pictures) {
    const QString path = directory.empty() ? QString::fromLatin1(entry.file)
                                           : folder.filePath(QString::fromLatin1(entry.file));
    std::string error = entry.picture.Save(path);
    if (!error.empty()) return error;
  }
  return {};
}

}  // namespace velquin
