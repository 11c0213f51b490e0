#include "import/kdeexport.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "import/kdesyntaxwriter.h"
#include "model/database.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>

namespace KdeExport {

Outcome exportLanguage(XmlWriter &writer, int index, const QString &folder, const QString &extensions)
{
    Outcome outcome;
    const QString name = writer.database().languages.value(index).name;
    if (const QString problem = OutputFile::exportNameProblem(name); !problem.isEmpty()) {
        outcome.error = QStringLiteral("%1 (index %2): %3").arg(name).arg(index).arg(problem);
        return outcome;
    }
    outcome.file = QDir(folder).absoluteFilePath(KdeSyntaxWriter::fileName(name));
    const QByteArray bytes = XmlWriter::fileBytes(writer.generate(index, 1, false, false));
    LanguageDefinition definition;
    DefinitionError error;
    if (!DefinitionReader::read(bytes, name, definition, error)) {
        outcome.error = QStringLiteral("%1 (index %2): %3").arg(name).arg(index).arg(error.toString());
        return outcome;
    }
    KdeSyntaxWriter::Options options;
    options.extensions = extensions;
    const KdeSyntaxWriter::Result result = KdeSyntaxWriter::write(*CompiledLanguage::compile(definition), options);
    for (const QString &note : result.notes)
        outcome.notes << QStringLiteral("%1 (index %2): %3").arg(name).arg(index).arg(note);
    outcome.error = OutputFile::write(outcome.file, result.xml);
    return outcome;
}

} // namespace KdeExport
