#include "Error.h"

#include "MessageService.h"

#include <new>
#include <utility>

namespace vq {

namespace {
const QString crlf = QStringLiteral("\r\n");
}

Error::Error(int32_t number, QString source, QString description, QString helpFile, int32_t helpContext)
    : m_number(number),
      m_source(std::move(source)),
      m_description(std::move(description)),
      m_helpFile(std::move(helpFile)),
      m_helpContext(helpContext) {
    updateWhat();
}

void Error::setSource(const QString& source) {
    m_source = source;
    updateWhat();
}

void Error::setDescription(const QString& description) {
    m_description = description;
    updateWhat();
}

void Error::updateWhat() {
    m_what = QStringLiteral("%1 (%2) [%3]").arg(m_description).arg(m_number).arg(m_source).toStdString();
}

QString reportText(const Error& error, const QString& context, ReportLayout layout) {
    const QString number = QString::number(error.number());
    switch (layout) {
        case ReportLayout::Long:
            return context + crlf + error.source() + crlf + error.description() + crlf + number;
        case ReportLayout::Short:
            return context + crlf + error.description() + crlf + number;
        case ReportLayout::NumberFirst:
            return context + crlf + number + crlf + error.description();
    }
    return {};
}

Error currentError() {
    try {
        throw;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return Error(7, QString(), QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        return Error(errc::Unexpected, QString(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Error(errc::Unexpected, QString(), QStringLiteral("Unknown error"));
    }
}

void reraise(Error error, const QString& context) {
    error.setSource(context + crlf + error.source());
    throw error;
}

namespace {
void showReport(const Error& error, const QString& context, const QString& text) {
    const QString chain = error.source().isEmpty() ? context : context + crlf + error.source();
    messageService().showError({text, chain, error.description(), error.number()});
}
}  // namespace

void report(const Error& error, const QString& context, ReportLayout layout) {
    showReport(error, context, reportText(error, context, layout));
}

void report(const Error& error, const QString& context, ReportLayout layout, const QString& extraLine) {
    showReport(error, context, reportText(error, context, layout) + crlf + extraLine);
}

}  // namespace vq
