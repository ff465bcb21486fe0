// SPDX-License-Identifier: MIT
// The student's choice of the recording's share of the page (#layout): the
// slide large, the two alike, or the recording large.  The style sheet
// lays the page out after the choice.
"use strict";

/**
 * @param {{ chosen: (layout: string) => void }} wiring  told of the student's choice
 * @returns {{ show: (layout: string) => void }}
 */
function makeLayoutChoice(wiring) {
  const choice = byId("layout", HTMLSelectElement);
  const page = byId("page", HTMLElement);
  choice.addEventListener("change", () => {
    page.dataset.layout = choice.value;
    wiring.chosen(choice.value);
  });
  return {
    show(layout) {
      choice.value = layout;
      page.dataset.layout = layout;
    },
  };
}
