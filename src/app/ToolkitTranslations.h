#pragma once

// The toolkit's own texts (its file dialogs, standard buttons, the editors'
// context menus) in the user's language, as the desktop's own dialogs would
// speak it. The program's own texts are not translated: none of them goes
// through the toolkit's translation.

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>

namespace ProcFunc {

// The toolkit's catalogue for the first of `locale`'s interface languages
// that `folder` has one for; none when it has none (English needs none).
std::unique_ptr<QTranslator> LoadToolkitTranslations(const QLocale& locale,
                                                     const QString& folder);

// The same from where the toolkit keeps its translations on this system.
std::unique_ptr<QTranslator> LoadToolkitTranslations(const QLocale& locale);

}  // namespace ProcFunc
