#include "UiTestSupport.h"

#include <QFile>

MessageRecorder::MessageRecorder(int nDefaultAnswer) : m_nDefaultAnswer(nDefaultAnswer)
{
    SetMessageBoxHook([this](const MessageBoxCall& call) {
        m_calls.append(call);
        if (!m_answers.empty())
        {
            const int nAnswer = m_answers.front();
            m_answers.pop_front();
            return nAnswer;
        }
        return call.buttons == MsgButtons::Ok ? int(IDOK) : m_nDefaultAnswer;
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageBoxHook({});
}

FileDialogAnswers::FileDialogAnswers()
{
    SetFileDialogHook([this](const FileDialogRequest& request) {
        m_requests.append(request);
        if (m_paths.empty())
            return QString();
        const QString path = m_paths.front();
        m_paths.pop_front();
        return path;
    });
}

FileDialogAnswers::~FileDialogAnswers()
{
    SetFileDialogHook({});
}

PasswordPromptAnswers::PasswordPromptAnswers(std::optional<QString> defaultAnswer)
    : m_defaultAnswer(std::move(defaultAnswer))
{
    SetPasswordPromptHook([this](const PasswordPromptCall& call) {
        m_calls.append(call);
        if (m_answers.empty())
            return m_defaultAnswer;
        const std::optional<QString> answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

PasswordPromptAnswers::~PasswordPromptAnswers()
{
    SetPasswordPromptHook({});
}

std::string ReadFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}
