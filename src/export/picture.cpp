#include "export/picture.h"

#include <algorithm>
#include <optional>

#include "export/diagrampainter.h"
#include "export/exportmargin.h"
#include "export/svgwriter.h"
#include "export/wmfwriter.h"
#include "model/diagram.h"

namespace tarvel {

namespace {

// Takes the export margin out again however the picture ends.
class ExportMarginScope {
public:
    explicit ExportMarginScope(Diagram& diagram) : m_diagram(diagram) {
        addExportMargin(m_diagram);
    }
    ~ExportMarginScope() { removeExportMargin(m_diagram); }
    ExportMarginScope(const ExportMarginScope&) = delete;
    ExportMarginScope& operator=(const ExportMarginScope&) = delete;

private:
    Diagram& m_diagram;
};

}  // namespace

RectF pictureArea(const Diagram& diagram) {
    // What is drawn, and how far the export margin reaches (it is not drawn).
    std::optional<RectF> items;
    float marginRight = 0;
    float marginBottom = 0;
    auto add = [&items](const RectF& r) { items = items ? unite(*items, r) : r; };
    const PaintOptions picture;
    for (const auto& n : diagram.NodeList()) {
        const RectF r =
            normalisedRect({n->NodeLeft(), n->NodeTop()},
                           {n->NodeLeft() + n->NodeWidth(), n->NodeTop() + n->NodeHeight()});
        if (isPaintedNode(*n, picture)) {
            add(r);
        } else if (n->hasKind(NK_ANNOTATION)) {
            marginRight = std::max(marginRight, r.right());
            marginBottom = std::max(marginBottom, r.bottom());
        }
    }
    for (const auto& l : diagram.Links()) {
        for (const PointF& p : l->LinkPoints()) {
            add({p.x, p.y, 0, 0});
        }
    }
    float left = 0;
    float top = 0;
    float right = std::max(marginRight, items ? 0 : PICTURE_EDGE_ROOM);
    float bottom = std::max(marginBottom, items ? 0 : PICTURE_EDGE_ROOM);
    if (items) {
        left = std::min(left, items->left - PICTURE_EDGE_ROOM);
        top = std::min(top, items->top - PICTURE_EDGE_ROOM);
        right = std::max(right, items->right() + PICTURE_EDGE_ROOM);
        bottom = std::max(bottom, items->bottom() + PICTURE_EDGE_ROOM);
    }
    return {left, top, right - left, bottom - top};
}

void paintPicture(Canvas& canvas, const Diagram& diagram, const TextMeasurer& measurer) {
    PaintOptions options;  // no grid, no marks, no screen aids
    paintDiagram(canvas, diagram, measurer, options);
}

DiagramPicture ExportPicture(Diagram& diagram, const TextMeasurer& measurer, bool withMargin) {
    std::optional<ExportMarginScope> margin;
    if (withMargin) {
        margin.emplace(diagram);
    }
    const RectF area = pictureArea(diagram);
    WmfWriter wmf(area);
    paintPicture(wmf, diagram, measurer);
    SvgWriter svg(area);
    paintPicture(svg, diagram, measurer);
    return {wmf.finish(), svg.finish()};
}

}  // namespace tarvel
