#pragma once
// The three pages of the patient summary.
#include <memory>

#include "summarypage.h"

namespace velto::print {

// Page 1: personal data, contacts, diagnosis, history, key person, medication,
// last vital signs, progress, infection, allergy, disabilities, equipment.
class SummaryPage1 : public SummaryPage {
public:
    int pageNumber() const override { return 1; }
    void InitPrintItems() override;
    void SetPrintText(const SummaryInput &input) override;
    QVector<FrameRect> sectionFrames() const override;
    QVector<FrameRect> innerBoxes() const override;
};

// Page 2: the nursing assessment.
class SummaryPage2 : public SummaryPage {
public:
    int pageNumber() const override { return 2; }
    void InitPrintItems() override;
    void SetPrintText(const SummaryInput &input) override;
    QVector<FrameRect> sectionFrames() const override;
    QVector<FrameRect> innerBoxes() const override;
};

// Page 3: problems, other remarks and the issuing facility.
class SummaryPage3 : public SummaryPage {
public:
    int pageNumber() const override { return 3; }
    void InitPrintItems() override;
    void SetPrintText(const SummaryInput &input) override;
    QVector<FrameRect> sectionFrames() const override;
    QVector<FrameRect> innerBoxes() const override;

    static constexpr double kCornerRadius = 3.2;
    static constexpr FrameRect kFacilityFrame {49, 250, 204, 282, 0, 0};

protected:
    void drawExtraFrames(PageCanvas &canvas, double dx, double dy, double widthMm) const override;
};

// Page 1, 2 or 3; null for any other number.
std::unique_ptr<SummaryPage> makeSummaryPage(int number);

} // namespace velto::print
