// SPDX-License-Identifier: MIT
// A list of entries that is one Tab stop, as the WAI-ARIA Authoring
// Practices build a listbox: the focus stays on the list, and
// aria-activedescendant names the entry it is on.  Up and Down, Home and
// End move it, Enter and Space activate the entry, a click does both; Tab
// leaves, and coming back lands on the same entry, or on the current one.
// The slide list, the search's hits and the transcript are each one.  An
// empty list is hidden.
//
// The list marks its current entry and keeps it in view, scrolling the
// list, never the page, also when the list changes size.  A list whose
// entries are one line each lays out only the rows near its view, writes
// their fields only then, and holds the place of the others, so that
// 100,000 entries cost little more than 100; it builds them a batch at a
// time, each batch in a task of its own, so that the page answers the user
// meanwhile.
"use strict";

/**
 * What an entry shows, one field for each of the list's classes: a text,
 * or a text in stretches, some marked.
 * @typedef {(string | TextPart[])[]} EntryFields
 */
/**
 * @typedef {object} EntryList
 * @property {(count: number, built?: () => void) => void} rebuild
 *   makes the list `count` entries anew; calls `built` once they all stand
 * @property {(index?: number) => void} relabel  writes an entry's fields anew, or every entry's
 * @property {(index: number) => void} mark  makes entry `index` the current one (-1 for none)
 */

/**
 * Makes `list` a list of entries whose fields `fields` gives, which calls
 * `activate` with an entry's index.
 * @param {HTMLOListElement} list
 * @param {{ classes: string[], oneLine: boolean, fields: (index: number) => EntryFields,
 *           activate: (index: number) => void }} options
 * @returns {EntryList}
 */
function makeEntryList(list, options) {
  // How many entries are made in one task, and how many rows are laid out
  // on each side of the view.
  const batch = 4000;
  const around = 50;

  let count = 0;
  /** @type {HTMLLIElement[]} */
  let items = [];
  /** @type {WeakMap<Element, number>} */
  let indexOf = new WeakMap();
  // Each rebuild starts a build of its own; an older build stops.
  let build = 0;
  let current = -1;
  // The entry the list's focus is on, or comes back to; -1 for none yet.
  let active = -1;
  const focused = () => document.activeElement === list;
  // Where the list's focus lands: on the entry it left, or the current one.
  const landing = () => (active >= 0 && active < count ? active : Math.max(current, 0));
  // The rows laid out now, and the height of one once a row is laid out.
  let rows = { first: 0, end: 0 };
  let rowHeight = 0;
  // The fields of entry i were written for labelling labelled[i]; those of
  // a row laid out away are written anew only when it comes back.
  let labelling = 1;
  let labelled = new Uint32Array(0);

  // An entry, to be copied: a span for each field, a blank between them in
  // the entry's text.
  const template = document.createElement("li");
  template.setAttribute("role", "option");
  options.classes.forEach((name, at) => {
    const span = document.createElement("span");
    span.className = name;
    span.append("");
    template.append(...(at > 0 ? [" ", span] : [span]));
  });

  // Writes entry `index`'s fields into its spans; a plain text goes into
  // the span's one text node, which a long list does 100,000 times.
  /** @param {number} index */
  function fill(index) {
    labelled[index] = labelling;
    const fields = options.fields(index);
    let span = items[index].firstElementChild;
    for (let at = 0; at < fields.length && span !== null; at += 1, span = span.nextElementSibling) {
      const field = fields[at];
      const text = span.firstChild;
      if (typeof field === "string" && text instanceof Text && text === span.lastChild) {
        if (text.data !== field) text.data = field;
      } else if (typeof field === "string") {
        span.replaceChildren(field);
      } else {
        span.replaceChildren(...field.map((part) => {
          if (!part.marked) return part.text;
          const mark = document.createElement("mark");
          mark.textContent = part.text;
          return mark;
        }));
      }
    }
  }

  // Scrolls the list so that entry `index` is in view.
  /** @param {number} index */
  function keepInView(index) {
    const item = items[index];
    if (item === undefined || list.clientHeight === 0 || (options.oneLine && rowHeight === 0)) return;
    const top = options.oneLine ? index * rowHeight : item.offsetTop;
    const height = options.oneLine ? rowHeight : item.offsetHeight;
    if (top < list.scrollTop) {
      list.scrollTop = top;
    } else if (top + height > list.scrollTop + list.clientHeight) {
      list.scrollTop = top + height - list.clientHeight;
    }
    layOut();
  }

  // Lays out the rows of a one-line list near its view, and holds the
  // place of the others above and below them.  An entry the focus is on
  // that is laid out away hands the focus to the nearest one in view.
  function layOut() {
    if (!options.oneLine) return;
    const wanted = rowsToLayOut({ count, rowHeight, scrollTop: list.scrollTop, viewHeight: list.clientHeight,
                                  around, centre: Math.max(current, 0) });
    const made = items.length;
    for (let index = rows.first; index < Math.min(rows.end, made); index += 1) {
      if (index < wanted.first || index >= wanted.end) items[index].className = "";
    }
    for (let index = wanted.first; index < Math.min(wanted.end, made); index += 1) {
      if (labelled[index] !== labelling) fill(index);
      if (index >= rows.first && index < rows.end) continue;
      const item = items[index];
      item.className = "shown";
      item.setAttribute("aria-posinset", String(index + 1));
      item.setAttribute("aria-setsize", String(count));
    }
    rows = wanted;
    if (rowHeight === 0 && rows.first < Math.min(rows.end, made)) rowHeight = items[rows.first].offsetHeight;
    list.style.setProperty("--above", `${rows.first * rowHeight}px`);
    list.style.setProperty("--below", `${(count - Math.min(rows.end, made)) * rowHeight}px`);
    if (active >= 0 && rowHeight > 0 && focused()) {
      // A row in part in view is in view; the focus moves to one wholly in view.
      const top = list.scrollTop / rowHeight;
      const bottom = (list.scrollTop + list.clientHeight) / rowHeight;
      if (active < Math.floor(top) || active >= Math.ceil(bottom)) {
        const first = Math.ceil(top);
        moveFocus(Math.max(Math.min(active, Math.floor(bottom) - 1), first), false);
      }
    }
  }

  // Puts the list's focus on entry `index`, and keeps it in view.
  /** @param {number} index @param {boolean} [scroll] */
  function moveFocus(index, scroll = true) {
    const before = items[active];
    if (before !== undefined && active !== index) {
      before.removeAttribute("id");
      before.removeAttribute("aria-selected");
    }
    active = index;
    const item = items[index];
    if (item === undefined) {
      list.removeAttribute("aria-activedescendant");
      return;
    }
    item.id = `${list.id}-${index}`;
    item.setAttribute("aria-selected", "true");
    list.setAttribute("aria-activedescendant", item.id);
    if (scroll) keepInView(index);
  }

  /** @param {number} index */
  function mark(index) {
    items[current]?.removeAttribute("aria-current");
    current = index;
    const item = items[index];
    if (item === undefined) return;
    item.setAttribute("aria-current", "true");
    if (!focused()) keepInView(index);
  }

  // Makes entries from `from` on, a batch in this task and the rest in
  // later ones, as long as build `own` is the list's latest.
  /** @param {number} own @param {number} from @param {() => void} built */
  function buildFrom(own, from, built) {
    if (own !== build) return;
    const to = Math.min(from + batch, count);
    const made = document.createDocumentFragment();
    for (let index = from; index < to; index += 1) {
      const item = /** @type {HTMLLIElement} */ (template.cloneNode(true));
      items.push(item);
      indexOf.set(item, index);
      if (!options.oneLine) fill(index);
      made.append(item);
    }
    list.append(made);
    layOut();
    if (current >= from && current < to) mark(current);
    if (active >= from && active < to) moveFocus(active, focused());
    if (to < count) {
      setTimeout(() => buildFrom(own, to, built), 0);
    } else {
      list.setAttribute("aria-busy", "false");
      // Never before rebuild returns, however short the list.
      queueMicrotask(built);
    }
  }

  /** @param {number} newCount @param {() => void} [built] */
  function rebuild(newCount, built = () => {}) {
    build += 1;
    count = newCount;
    items = [];
    indexOf = new WeakMap();
    labelled = new Uint32Array(count);
    current = -1;
    // A list rebuilt under the focus keeps it on the entry in the same place.
    active = focused() ? Math.min(active, count - 1) : -1;
    rows = { first: 0, end: 0 };
    list.removeAttribute("aria-activedescendant");
    list.replaceChildren();
    list.scrollTop = 0;
    list.tabIndex = count > 0 ? 0 : -1;
    // An empty list is neither seen nor read.
    list.hidden = count === 0;
    list.setAttribute("aria-busy", "true");
    buildFrom(build, 0, built);
  }

  // Writes the fields of the rows laid out now; the others' when they are.
  /** @param {number} [index] */
  function relabel(index) {
    const first = options.oneLine ? rows.first : 0;
    const end = Math.min(options.oneLine ? rows.end : count, items.length);
    if (index !== undefined) {
      labelled[index] = 0;
      if (index >= first && index < end) fill(index);
      return;
    }
    labelling += 1;
    for (let at = first; at < end; at += 1) fill(at);
  }

  /** @param {Event} event */
  const entryOf = (event) => {
    const item = event.target instanceof Element ? event.target.closest("li") : null;
    return item === null ? undefined : indexOf.get(item);
  };
  list.addEventListener("scroll", layOut);
  // Before the focus arrives, so that it lands on the entry pressed.
  list.addEventListener("mousedown", (event) => {
    const index = entryOf(event);
    if (index !== undefined) moveFocus(index, false);
  });
  list.addEventListener("click", (event) => {
    const index = entryOf(event);
    if (index !== undefined) options.activate(index);
  });
  list.addEventListener("focus", () => moveFocus(landing()));
  list.addEventListener("keydown", (event) => {
    const move = listKey("list", keyName(event), landing(), items.length);
    if (move === null) return;
    event.preventDefault();
    moveFocus(move.active);
    if (move.activate) options.activate(move.active);
  });
  // The current entry, or the one the focus is on, stays in view when the
  // list changes size, and when it is shown: a list behind a tab has laid
  // out no row it could measure.
  new ResizeObserver(() => {
    layOut();
    keepInView(focused() ? active : current);
  }).observe(list);

  list.tabIndex = -1;
  list.hidden = true;
  return { rebuild, relabel, mark };
}
