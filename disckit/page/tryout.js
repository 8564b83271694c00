// The menu as autorun runs it, for trying it on the page: which menu is on
// screen, the way back, the keyboard focus, and what a start would ask
// the shell to open. No state of the page here: each step takes a state
// and gives the next one.

// A launcher in the root of drive D: "D:", no backslash after it; a window
// handle as autorun writes it for %hwnd%.
export const TRIED_ROOT = 'D:';
export const TRIED_WINDOW = 0x00030a2e;

// The mouse's first extra button, which browsers and autorun take as back.
export const BACK_BUTTON = 3;

// {menu, history, focus}: `menu` a menu of the page (its line of menu.txt),
// `history` the menus to go back to, `focus` a hotspot's position or -1.
export function startRun(menu) {
  return { menu, history: [], focus: -1, pressed: null };
}

export function contains(spot, x, y) {
  return spot.left <= x && x < spot.right && spot.top <= y && y < spot.bottom;
}

// The first hotspot in line order that holds the point, or -1.
export function hit(spots, x, y) {
  return spots.findIndex((spot) => spot && contains(spot, x, y));
}

// Tab and the arrows: the next (step 1) or previous (-1) hotspot that is
// not "close", around the end; -1 (none) is a stop on the way round.
export function stepFocus(spots, focus, step) {
  const count = spots.length;
  const takes = (at) => at >= 0 && spots[at] && spots[at].command !== 'close';
  if (!spots.some((_, at) => takes(at))) return focus;
  let at = focus;
  do {
    if (step > 0) at = at < 0 ? 0 : at + 1 >= count ? -1 : at + 1;
    else at = at < 0 ? count - 1 : at - 1;
  } while (!takes(at));
  return at;
}

// The target ends at the first blank; quotes mean nothing.
export function splitArgument(argument) {
  const blank = argument.indexOf(' ');
  return blank < 0 ? { target: argument, parameters: '' } : { target: argument.slice(0, blank), parameters: argument.slice(blank + 1) };
}

// %hwnd% first, then %root%, exactly and case-sensitively; what one puts
// in is never searched again.
export function expandParameters(parameters, windowHandle = TRIED_WINDOW, root = TRIED_ROOT) {
  const handle = `0x${(windowHandle >>> 0).toString(16).padStart(8, '0')}`;
  return parameters
    .split('%root%')
    .map((part) => part.split('%hwnd%').join(handle))
    .join(root);
}

// What a hotspot does: {run, effect} with effect one of
//   {kind: 'show', name} / {kind: 'unknown', name} / {kind: 'back'} /
//   {kind: 'nothing'} / {kind: 'close'} / {kind: 'start', target, parameters, folder}.
// `find(name)` is the menu of the run's language of that name, or null.
export function activate(run, spot, find) {
  if (spot.command === 'close') return { run, effect: { kind: 'close' } };
  if (spot.command === 'showmenu') {
    const found = find(spot.argument);
    if (found === null) return { run, effect: { kind: 'unknown', name: spot.argument } };
    return { run: { ...run, menu: found, history: [...run.history, run.menu], focus: -1 }, effect: { kind: 'show', name: spot.argument } };
  }
  if (spot.command === 'back') return goBack(run);
  const { target, parameters } = splitArgument(spot.argument);
  return { run, effect: { kind: 'start', target, parameters: expandParameters(parameters), folder: TRIED_ROOT } };
}

export function goBack(run) {
  if (!run.history.length) return { run, effect: { kind: 'nothing' } };
  return { run: { ...run, menu: run.history[run.history.length - 1], history: run.history.slice(0, -1), focus: -1 }, effect: { kind: 'back' } };
}

// A typed key: the effect of Enter, Space, Backspace and Escape; Tab and
// the arrows move the focus. null: the key is not the menu's.
export function typedKey(run, key, shift, spots, find) {
  if (key === 'Tab' || key.startsWith('Arrow')) {
    const step = key === 'Tab' ? (shift ? -1 : 1) : key === 'ArrowLeft' || key === 'ArrowUp' ? -1 : 1;
    return { run: { ...run, focus: stepFocus(spots, run.focus, step) }, effect: { kind: 'nothing' } };
  }
  if (key === 'Enter' || key === ' ') {
    const spot = spots[run.focus];
    return spot ? activate(run, spot, find) : { run, effect: { kind: 'nothing' } };
  }
  if (key === 'Backspace') return goBack(run);
  if (key === 'Escape') return { run, effect: { kind: 'close' } };
  return null;
}

// The left button: down on a hotspot moves a focus that is already shown
// there; up activates the hotspot under it, unless it went down on another
// and left its rectangle.
export function pointerDown(run, spots, x, y) {
  const at = hit(spots, x, y);
  if (at < 0) return { ...run, pressed: null };
  return { ...run, focus: run.focus >= 0 ? at : run.focus, pressed: spots[at] };
}

export function pointerUp(run, spots, x, y, find) {
  const pressed = run.pressed;
  const released = { ...run, pressed: null };
  if (pressed && !contains(pressed, x, y)) return { run: released, effect: { kind: 'nothing' } };
  const at = hit(spots, x, y);
  return at < 0 ? { run: released, effect: { kind: 'nothing' } } : activate(released, spots[at], find);
}

// The effect in words, for the page's status line.
export function describeEffect(effect) {
  switch (effect.kind) {
    case 'show':
      return `showmenu ${effect.name || '(root)'}`;
    case 'unknown':
      return `showmenu "${effect.name}": the language has no such menu; the click does nothing`;
    case 'back':
      return 'back to the menu before';
    case 'close':
      return 'the menu would close';
    case 'start':
      return `the shell would be asked to open "${effect.target}"` +
        (effect.parameters ? ` with the parameters "${effect.parameters}"` : ' without parameters') +
        ` in ${effect.folder}\\ (the disc's root; %root% is ${effect.folder}, %hwnd% the menu window)`;
    default:
      return '';
  }
}
