#pragma once

// The vqarchive commands run in-process, beside a registry file of their own.
#include "ArchiveTool.h"
#include "TestFiles.h"
#include "archive/ArchiveTestSupport.h"

namespace vq::test {

struct Outcome {
    int code;
    QString out, err;
};

// The tool beside a registry file of its own; `Base` says where the test's archive lives.
template <class Base>
class ToolTest : public Base {
protected:
    // `input`: the lines the tool reads passwords from.
    Outcome run(QStringList arguments, QString input = {}) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err), inStream(&input);
        ArchiveTool tool(outStream, errStream);
        tool.setInput(&inStream);
        const int code = tool.run(QStringList{u"--registry"_s, path(u"servers.json"_s)} + arguments);
        outStream.flush();
        errStream.flush();
        return {code, out, err};
    }
    QString path(const QString& name) const { return this->filePath(name); }
    void write(const QString& name, const QByteArray& text) { writeFile(path(name), text); }
};
}  // namespace vq::test
