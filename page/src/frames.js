// A task after the next frame is painted: work that must not hold it back.
export const afterPaint = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
