// SPDX-License-Identifier: MIT
// The side's tabs, as the WAI-ARIA Authoring Practices build them: one Tab
// stop, the chosen tab; Left and Right move to the tab beside and show its
// panel at once, Home and End to the first and the last.  One panel is
// shown at a time, so that one long list fills the side.  A tab that does
// not apply (the transcript of a recording without captions) is not there;
// the student's choice of it waits until it applies.
"use strict";

/**
 * @typedef {object} Tabs
 * @property {(panel: string) => void} choose  shows `panel`, or the first while it does not apply
 * @property {(panel: string, applies: boolean) => void} offer  whether `panel`'s tab is there
 */

/**
 * @param {{ chosen: (panel: string) => void }} wiring  told of the student's choice
 * @returns {Tabs}
 */
function makeTabs(wiring) {
  const row = byId("side-tabs", HTMLElement);
  const tabs = [...row.querySelectorAll('[role="tab"]')].map((tab) => /** @type {HTMLButtonElement} */ (tab));
  const panelOf = (/** @type {HTMLButtonElement} */ tab) => byId(tab.getAttribute("aria-controls") ?? "", HTMLElement);
  // The panel the student chose, and the one shown.
  let wanted = tabs[0].dataset.panel ?? "";

  function show() {
    const offered = tabs.filter((tab) => !tab.hidden);
    const shown = offered.find((tab) => tab.dataset.panel === wanted) ?? offered[0];
    for (const tab of tabs) {
      const selected = tab === shown;
      tab.setAttribute("aria-selected", String(selected));
      tab.tabIndex = selected ? 0 : -1;
      panelOf(tab).hidden = !selected;
    }
    return shown;
  }

  /** @param {HTMLButtonElement} tab */
  function pick(tab) {
    wanted = tab.dataset.panel ?? "";
    show();
    wiring.chosen(wanted);
  }

  row.addEventListener("click", (event) => {
    const tab = tabs.find((one) => event.target instanceof Node && one.contains(event.target));
    if (tab !== undefined) pick(tab);
  });
  row.addEventListener("keydown", (event) => {
    const offered = tabs.filter((tab) => !tab.hidden);
    const move = listKey("tabs", keyName(event), offered.findIndex((tab) => tab === event.target), offered.length);
    if (move === null) return;
    event.preventDefault();
    pick(offered[move.active]);
    offered[move.active].focus();
  });

  return {
    choose(panel) {
      wanted = panel;
      show();
    },
    offer(panel, applies) {
      const tab = tabs.find((one) => one.dataset.panel === panel);
      if (tab === undefined || tab.hidden === !applies) return;
      const focused = document.activeElement === tab;
      tab.hidden = !applies;
      const shown = show();
      if (focused) shown.focus();
    },
  };
}
