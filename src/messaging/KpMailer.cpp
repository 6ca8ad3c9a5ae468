#include "messaging/KpMailer.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QUuid>

#include <curl/curl.h>

namespace {

// A header value with anything beyond ASCII, as RFC 2047 wants it.
QByteArray headerText(const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() > 126 || c.unicode() < 32)
            ascii = false;
    if (ascii)
        return text.toLatin1();
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

QByteArray angle(const QString &address)
{
    return "<" + address.trimmed().toUtf8() + ">";
}

struct CurlList
{
    curl_slist *list = nullptr;
    ~CurlList() { curl_slist_free_all(list); }
    void append(const QByteArray &item) { list = curl_slist_append(list, item.constData()); }
};

} // namespace

QStringList KpMailer::recipients(const QString &list)
{
    QStringList result;
    QString normalised = list;
    normalised.replace(QLatin1Char(','), QLatin1Char(';'));
    for (const QString &part : normalised.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            result.append(part.trimmed());
    return result;
}

Outcome KpMailer::Send() const
{
    const QStringList to = recipients(MailTo);
    if (SMTPServer.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Aucun serveur SMTP n'est défini"));
    if (to.isEmpty())
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Vous devez entrer l'adresse d'un destinataire !"));

    CURL *curl = curl_easy_init();
    if (!curl)
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Le service d'envoi de messages n'a pas pu démarrer"));
    std::unique_ptr<CURL, void (*)(CURL *)> guard(curl, curl_easy_cleanup);

    const QByteArray url = "smtp://" + SMTPServer.trimmed().toUtf8() + ":" + QByteArray::number(SMTPServerPort > 0 ? SMTPServerPort : 25);
    const QByteArray from = angle(MailFROM);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Encrypt when the server offers it; a plain local relay still works.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    const QByteArray user = SMTPSendUsername.toUtf8();
    const QByteArray password = SMTPSendPassword.toUtf8();
    if (SMTPAuthMode == 1) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const QByteArray proxy = ProxyServerName.trimmed().toUtf8();
    if (!proxy.isEmpty())
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());

    CurlList rcpt;
    for (const QString &address : to)
        rcpt.append(angle(address));
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt.list);

    CurlList headers;
    headers.append("Date: " + QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss t")).toLatin1());
    headers.append("From: " + from);
    headers.append("To: " + to.join(QStringLiteral(", ")).toUtf8());
    headers.append("Subject: " + headerText(MailSubject));
    const QString domain = MailFROM.section(QLatin1Char('@'), 1).trimmed();
    headers.append("Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@"
                   + (domain.isEmpty() ? QByteArray("quenzo") : domain.toUtf8()) + ">");
    if (AccuseRecep)
        headers.append("Return-Receipt-To: " + from);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list);

    curl_mime *mime = curl_mime_init(curl);
    std::unique_ptr<curl_mime, void (*)(curl_mime *)> mimeGuard(mime, curl_mime_free);
    curl_mimepart *body = curl_mime_addpart(mime);
    const QByteArray text = MailBody.toUtf8();
    curl_mime_data(body, text.constData(), size_t(text.size()));
    curl_mime_type(body, UseHTMLFormat ? "text/html; charset=UTF-8" : "text/plain; charset=UTF-8");
    curl_mime_encoder(body, "quoted-printable");
    for (const QString &path : m_attachments) {
        curl_mimepart *part = curl_mime_addpart(mime);
        const QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
        if (curl_mime_filedata(part, file.constData()) != CURLE_OK)
            return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Pièce jointe illisible : ") + path);
        curl_mime_filename(part, QFileInfo(path).fileName().toUtf8().constData());
        curl_mime_encoder(part, "base64");
    }
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);

    char error[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    const CURLcode rc = curl_easy_perform(curl);
    if (rc != CURLE_OK) {
        const QString detail = QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc));
        return Outcome::failure(QStringLiteral("Erreur"), QStringLiteral("Le message n'a pas pu être envoyé : ") + detail);
    }
    return Outcome::success();
}

QString mailtoEncode(const QString &text)
{
    QString encoded;
    for (const unsigned char byte : text.toUtf8()) {
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'))
            encoded += QLatin1Char(char(byte));
        else
            encoded += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return encoded;
}

namespace {

// Each non-empty address followed by "; ", the final blank dropped.
QString addressList(const QString &list)
{
    QString result;
    for (const QString &part : list.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            result += part.trimmed() + QStringLiteral("; ");
    result.chop(1);
    return result;
}

} // namespace

QString mailtoAddress(const QString &to, const QString &cc, const QString &bcc, const QString &subject, const QString &body)
{
    if (to.trimmed().isEmpty())
        return {};
    QString address = addressList(to);
    const QString copies = addressList(cc);
    const QString blind = addressList(bcc);
    if (!copies.isEmpty())
        address += QStringLiteral("&CC=") + copies;
    if (!blind.isEmpty())
        address += QStringLiteral("&BCC=") + blind;
    address.chop(1); // the final ";"
    QString result = QStringLiteral("MAILTO:") + address;
    if (!subject.isEmpty())
        result += QStringLiteral("?Subject=") + mailtoEncode(subject);
    if (!body.isEmpty())
        result += (subject.isEmpty() ? QStringLiteral("?") : QStringLiteral("&")) + QStringLiteral("Body=") + mailtoEncode(body);
    return result;
}
