#include "platform/ToolkitLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <memory>

bool InstallToolkitTranslation(const QString& folder) {
    static QPointer<QTranslator> installed;
    if (installed) return true;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    // A copy that carries its Qt beside it (the Windows setup and zip) has the translation in
    // "translations" beside the program; Qt's own folder is then where Qt was built, not there.
    const QStringList from = folder.isEmpty()
                                 ? QStringList{QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)}
                                 : QStringList{folder};
    for (const QString& f : from) {
        if (!translator->load(QStringLiteral("qtbase_de"), f)) continue;
        QCoreApplication::installTranslator(translator.get());
        installed = translator.release();
        return true;
    }
    return false;
}
