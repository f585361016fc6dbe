// ContactSheet lays rendered frames out in a grid and resamples each to its
// cell at its own proportions (area average when shrinking, nearest pixel
// when enlarging).
#pragma once

#include <cstdint>
#include <vector>

class ContactSheet {
public:
    ContactSheet(int width, int height, int count);

    // Columns and rows for count cells, as square a grid as possible.
    static void GridFor(int count, int* columns, int* rows);

    // Places frame (RGBA, frameWidth x frameHeight) in cell index.
    void Place(int index, const std::vector<uint8_t>& frame, int frameWidth, int frameHeight);

    const std::vector<uint8_t>& Pixels() const { return m_Pixels; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

private:
    int m_Width, m_Height, m_Columns, m_Rows;
    std::vector<uint8_t> m_Pixels;
};
