#pragma once

#include "codecs/exif_facts.h"
#include "sheets/prop_page.h"

#include <vector>

// "Details": what a photo's EXIF block says about the camera and the shot, one row per fact.
// The sheet adds it only for a picture with such facts.
class CDetailsPage : public CPropPage
{
    Q_OBJECT

public:
    explicit CDetailsPage(std::vector<ExifFact> facts, QWidget *parent = nullptr);

protected:
    void fill() override;

private:
    std::vector<ExifFact> facts;
};
