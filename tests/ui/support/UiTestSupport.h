#pragma once

#include "TestKit.h"

#include <deque>
#include <optional>
#include <string>

#include <QList>
#include <QString>
#include <QWidget>

#include "ui/Support/Seams/FileDialogs.h"
#include "ui/Support/Seams/MessageBox.h"
#include "ui/Support/Seams/PasswordPrompt.h"

// Records every message box while alive and answers it: with the queued answers first, then
// IDOK for OK boxes and the default answer for questions.
class MessageRecorder
{
  public:
    explicit MessageRecorder(int nDefaultAnswer = IDYES);
    ~MessageRecorder();
    void QueueAnswer(int nAnswer) { m_answers.push_back(nAnswer); }
    const QList<MessageBoxCall>& calls() const { return m_calls; }
    const MessageBoxCall& last() const { return m_calls.constLast(); }
    int count() const { return static_cast<int>(m_calls.size()); }
    void clear() { m_calls.clear(); }

  private:
    QList<MessageBoxCall> m_calls;
    std::deque<int> m_answers;
    int m_nDefaultAnswer;
};

// Hands the queued paths to the file dialogs (an empty path cancels) and records the requests.
class FileDialogAnswers
{
  public:
    FileDialogAnswers();
    ~FileDialogAnswers();
    void QueuePath(const QString& path) { m_paths.push_back(path); }
    const QList<FileDialogRequest>& requests() const { return m_requests; }

  private:
    std::deque<QString> m_paths;
    QList<FileDialogRequest> m_requests;
};

// Types the queued answers into the password prompts (nullopt cancels; none queued: the default
// answer, which cancels unless given) and records the prompts.
class PasswordPromptAnswers
{
  public:
    explicit PasswordPromptAnswers(std::optional<QString> defaultAnswer = std::nullopt);
    ~PasswordPromptAnswers();
    void QueueAnswer(const std::optional<QString>& answer) { m_answers.push_back(answer); }
    const QList<PasswordPromptCall>& calls() const { return m_calls; }

  private:
    QList<PasswordPromptCall> m_calls;
    std::deque<std::optional<QString>> m_answers;
    std::optional<QString> m_defaultAnswer;
};

// The shared temporary program directory (data files, manual), with Qt paths.
class TempProgramDir : public TestKit::TempProgramDir
{
  public:
    QString path() const { return QString::fromStdString(Path()); }
    QString filePath(const QString& name) const { return path() + u'/' + name; }
    QString configFilePath(const QString& name) const { return QString::fromStdString(ConfigPath()) + u'/' + name; }
};

// The child widget whose objectName is "id<nId>" (every control carries its dialog ID that way).
template <typename T = QWidget> T* FindById(QWidget* root, int nId)
{
    return root->findChild<T*>(QStringLiteral("id%1").arg(nId));
}

// Reads a whole file as bytes ("" when missing).
std::string ReadFileBytes(const QString& path);
