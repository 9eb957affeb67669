#pragma once

#include "UiTestSupport.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ui/EditDialog.h"

// Drives the record editors that a command opens modally, one scripted step per editor, so that
// nothing waits for a user. An editor that appears when no step is left, or that a step leaves
// open, is cancelled.
class EditorScript
{
  public:
    using Step = std::function<void(CEditDialog*)>;

    EditorScript()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
    }
    void Queue(Step step) { m_steps.push_back(std::move(step)); }
    int editorsSeen() const { return m_nSeen; }
    const QList<QString>& titles() const { return m_titles; }

  private:
    void Poll()
    {
        auto* pEditor = qobject_cast<CEditDialog*>(QApplication::activeModalWidget());
        if (!pEditor || pEditor->property("scripted").toBool())
            return;
        pEditor->setProperty("scripted", true);
        ++m_nSeen;
        m_titles.append(pEditor->windowTitle());
        if (m_steps.empty())
        {
            Click(pEditor, 2);
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(pEditor);
        if (pEditor->isVisible()) // the step did not close it: give up rather than wait for ever
            Click(pEditor, 2);
    }

  public:
    static void Click(QWidget* pDialog, int nId) { FindById<QPushButton>(pDialog, nId)->click(); }
    // Selects the entry with this text and tells the dialog, as a user's choice does.
    static void Choose(QWidget* pDialog, int nId, const QString& text)
    {
        auto* pCombo = FindById<QComboBox>(pDialog, nId);
        const int nIndex = pCombo->findText(text);
        pCombo->setCurrentIndex(nIndex);
        emit pCombo->activated(nIndex);
    }
    // The example fill completed into a record that passes every check, with its own number.
    static Step AddRecord(const QString& number)
    {
        return [number](CEditDialog* pEditor) {
            Click(pEditor, 9);
            Choose(pEditor, 1027, QStringLiteral("海南省"));
            FindById<QLineEdit>(pEditor, 1000)->setText(number);
            Click(pEditor, 1);
        };
    }
    static Step PressOk()
    {
        return [](CEditDialog* pEditor) { Click(pEditor, 1); };
    }

    // A complete stored record with ordinary codes, which the editor accepts unchanged.
    static std::vector<std::string> CompleteRecord(const char* lpcszNumber)
    {
        return TestKit::StudentRecord().With(Field::XSBSH, lpcszNumber).Gbk();
    }

  private:
    QTimer m_timer;
    std::deque<Step> m_steps;
    int m_nSeen = 0;
    QList<QString> m_titles;
};
