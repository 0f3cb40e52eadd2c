// xml_root FILE: reads FILE as XML to its end and prints its root element as
// "{namespace}name". Exits with 1 and the line and column of the first fault
// when FILE cannot be read or is not well-formed XML.
#include <QFile>
#include <QXmlStreamReader>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xml_root FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    QXmlStreamReader xml(&file);
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && root.isEmpty())
            root = '{' + xml.namespaceUri().toString() + '}' + xml.name().toString();
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "%s:%lld:%lld: %s\n", argv[1], static_cast<long long>(xml.lineNumber()),
                     static_cast<long long>(xml.columnNumber()), qPrintable(xml.errorString()));
        return 1;
    }
    std::printf("%s\n", qPrintable(root));
    return 0;
}
