#pragma once
// Hatch patterns: a fill drawn in the style "Hatch" is covered by one or more families of
// parallel lines (CHatchLine), each with its angle, origin, spacing, shift and dash rhythm.
// A pattern (CHatchPattern) is built from one of the 27 predefined definitions
// (g_hatchDefinitions), turned and scaled, and then kept by its fill as its own copy, which
// is stored with the fill in the drawing file. DrawHatchLine draws one visible stretch of one
// hatch line with its dashes in the right phase; where the lines of a fill lie and where they
// are cut by its boundary is the fill item's work.
//
// Degenerate families are never kept: a spacing or a dash period (the sum of the dash
// lengths) that is zero, negative or not finite would make painting step by nothing, so such
// a family is refused wherever one is set up (parsing a definition, building, transforming,
// the setters, reading the drawing file, adding to a pattern).
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drawcontext.h"

class CTextFileReader;
class CTextFileWriter;
class CTransform;
struct CViewMapping;

inline constexpr int kHatchDefinitionCount = 27;
// The most families a pattern holds: its 16-bit capacity grows to 100 and then doubles, and
// 25600 is the last capacity that doubling reaches within 16 bits.
inline constexpr int kHatchLineLimit = 25600;

// Glitch codes.
inline constexpr int kGlitchHatchCopy = 3160;        // 8991: a family could not be allocated
inline constexpr int kGlitchHatchGetLine = 3161;     // 1: family index out of range
inline constexpr int kGlitchHatchBuild = 3162;       // 1: a definition text did not parse
inline constexpr int kGlitchHatchGetDash = 3180;     // 1: dash index out of range
inline constexpr int kGlitchHatchDefinition = 3190;  // 1: no memory for the family texts

// One family of parallel hatch lines. Line k (any integer) runs through
// origin + k * spacing * (-sin a, cos a) in the direction a; its dash rhythm starts at that
// point moved by k * shift along the line and repeats with the dash period.
class CHatchLine {
 public:
  CHatchLine() = default;

  // Angle, shift, spacing, origin and dashes of other. 0 with no dashes when memory for the
  // dash list ran out, else 1.
  int CopyFrom(const CHatchLine& other);

  double GetAngle() const { return m_angle; }  // radians counter-clockwise from +x
  double GetOriginX() const { return m_originX; }
  double GetOriginY() const { return m_originY; }
  double GetSpacing() const { return m_spacing; }
  double GetStagger() const { return m_shift; }
  std::int16_t GetDashCount() const { return static_cast<std::int16_t>(m_dashes.size()); }
  // Entry i: positive a dash of that length, negative a gap, 0 a dot. An index outside
  // 0..count-1: the index and count to SetGlitchValue, glitch 3180 (n 1), 0.0.
  double GetDash(int i) const;
  // The sum of the absolute dash entries; 0 without dashes.
  double GetDashPeriod() const;

  // 1 when the family can be drawn: angle, origin and shift finite, the spacing finite and
  // above 0, every dash finite and, with dashes, a finite period above 0.
  int IsValid() const;

  // Plain stores without undo (the document uses them when it rebuilds the hatches of old
  // drawings). The angle is normalised into [0, 2 pi). The others answer 0 and change
  // nothing for a value that would leave the family degenerate.
  void SetAngle(double angle);
  int SetStagger(double shift);
  int SetSpacing(double spacing);
  int SetOrigin(double x, double y);
  // The two-entry list (dash, gap). 0 and the list unchanged when |dash| + |gap| is not a
  // finite value above 0, or when memory ran out.
  int SetDashes(double dash, double gap);

  // Fills the family from one family text "angle,x,y,spacing,shift,n,d1,...,dn" (angle in
  // degrees, the rest in drawing units, blanks allowed around fields; fields after dn are
  // ignored). 0 when a field does not convert (fields stored so far stay) or the family
  // would be degenerate; else 1. The angle is not normalised.
  int Parse(const QString& text);

  // A stretch changes nothing; otherwise the origin is mapped exactly, a rotation adds its
  // angle, an enlargement multiplies spacing, shift and dashes by its factor, a reflection
  // changes only the origin. 0 and the family unchanged when the result would be degenerate
  // (an enlargement by 0, say); else 1.
  int Transform(const CTransform& t);

  // The family's typed lines in the drawing file: spacing, angle (radians), origin x,
  // origin y, shift, the dash count and the entries. Read: 0 on the first failed read, when
  // memory for the dashes ran out (status 11) or when the family read is degenerate
  // (status 12, illegal value); else 1. A count of 0 or less reads no dashes.
  int Read(CTextFileReader& reader);
  void Write(CTextFileWriter& writer) const;

 private:
  double m_angle = 0.0;
  double m_originX = 0.0;
  double m_originY = 0.0;
  double m_spacing = 0.0;  // set by whoever fills the family
  double m_shift = 0.0;
  std::vector<double> m_dashes;  // empty: solid lines
};

// The families of one fill's hatch, with the number of the definition it was built from.
class CHatchPattern {
 public:
  CHatchPattern() = default;
  CHatchPattern(const CHatchPattern&) = delete;
  CHatchPattern& operator=(const CHatchPattern&) = delete;

  // Appends the family and owns it. 0 (and the family deleted) when it is degenerate, or the
  // pattern is full (kHatchLineLimit), or memory ran out; else 1.
  int AddLine(std::unique_ptr<CHatchLine> line);

  std::int16_t GetNumber() const { return m_number; }
  std::int16_t GetLineCount() const { return static_cast<std::int16_t>(m_lines.size()); }
  // Family i; an index outside 0..count-1: the index and count to SetGlitchValue,
  // glitch 3161 (n 1), null.
  CHatchLine* GetLine(int i) const;

  // Takes other's number and appends a copy of each of its families. A family that cannot be
  // allocated: glitch 3160 (n 8991), 0 (the families copied so far stay); else 1.
  int CopyFrom(const CHatchPattern& other);
  // CHatchLine::Transform of every family; 0 when any family refused (and kept its values).
  int Transform(const CTransform& t);

  // Replaces the families by those of definition index (table order) turned by angle
  // (radians) and enlarged by scale, both about (0, 0), and takes its number. 0 for an index
  // outside 0..26 (log 3162/1), for a scale that is not a finite value above 0 or an angle
  // that is not finite (log 3162/3; the pattern unchanged), when memory ran out (log 3162/2)
  // or a definition text does not parse (glitch 3162/1). A build that fails part way keeps
  // the families appended so far.
  int Build(int index, double angle, double scale);

  // How far the pattern is turned against its definition: the first family's angle minus the
  // definition's first angle. 0.0 without a number, a family or a definition.
  double GetAngle() const;
  // How far it is scaled: the first family's spacing over the definition's first spacing.
  // 1.0 without a number, 10.0 without a family, 0.0 when no definition has the number.
  double GetScale() const;

  // The typed lines: family count, number, then each family. Read appends the families read;
  // it answers 0 only when memory ran out (status 11). Everything else that goes wrong is
  // left in g_fileStatus for the caller: a count of families outside 0..kHatchLineLimit or
  // a degenerate family is an illegal value (12). The number is kept as read.
  int Read(CTextFileReader& reader);
  void Write(CTextFileWriter& writer) const;

 private:
  std::int16_t m_number = -1;  // the definition's number; -1 for none
  std::int16_t m_capacity = 0;
  std::vector<std::unique_ptr<CHatchLine>> m_lines;
};

// One predefined pattern: its number, name and the text of each family.
class CHatchDefinition {
 public:
  // familyTexts: the families' texts joined by "$".
  CHatchDefinition(std::int16_t number, const QString& name, const QString& familyTexts);

  std::int16_t GetNumber() const { return m_number; }
  const QString& GetName() const { return m_name; }
  std::int16_t GetFamilyCount() const { return static_cast<std::int16_t>(m_families.size()); }
  // Family text i; empty for an index outside 0..count-1.
  QString GetFamilyText(int i) const;

 private:
  std::int16_t m_number;
  QString m_name;
  std::vector<QString> m_families;
};

// The 27 predefined patterns in table order (which differs from number order at the end:
// number 27 "Unit square dots" stands before number 26 "Basket weave"). Built before the
// program starts and never changed.
extern const std::array<CHatchDefinition, kHatchDefinitionCount> g_hatchDefinitions;

// The index of the first definition with that number; -1 when none.
std::int16_t FindHatchDefinition(std::int16_t number);

// The field at pos up to the next comma, trimmed of blanks; pos moves past that comma. When
// no comma follows, or the comma stands at pos, the field is all the rest and pos moves to
// the end.
QString TakeCommaField(const QString& text, int& pos);

// Draws the stretch (x1, y1)-(x2, y2), in drawing units, of one line of the family with its
// dashes in phase. The stretch lies on a line of the family with x1 <= x2 (y1 <= y2 for a
// vertical family), and the hatch pen is selected. On a printer a dot (entry 0) is a square
// of the printer's hatch-dot size; on screen a single pixel.
void DrawHatchLine(const CHatchLine& family, zeph::CDrawContext& dc, const CViewMapping& mapping,
                   int x1, int y1, int x2, int y2, zeph::ColourRef colour);
