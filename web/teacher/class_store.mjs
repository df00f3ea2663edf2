// Where the teacher's classes are kept: the browser's local storage, under names of this copy of
// the site's own (its folder, as its caches are named), so that two sites on one origin, or two
// folders of one school server, never see each other's classes. Every tab of the site shares them.
//
// The classes are a list of {id, name}; each class's pool is {generation, codes}: its codes, one a
// line, and how many times it was cleared, so that a tab that still holds the codes from before a
// 全部消す knows to drop them rather than write them back, and two tabs that keep a class at the
// same moment merge what they hold. A tab hears of another tab's writes
// through the storage event. Where the browser refuses its storage (a private window, a full
// disk), nothing is kept, and `refused` says so.
const oldPoolKey = "mokopera class pool";  // the one pool of every site, before classes

// A token no other tab or device will make: the browser's cryptographic generator.
export const token = () => Array.from(crypto.getRandomValues(new Uint32Array(2)), (word) => word.toString(36)).join("");

export class ClassStore {
  constructor() {
    this.folder = new URL(".", location.href).pathname;
    this.listKey = `mokopera classes ${this.folder}`;
    this.chosenKey = `mokopera chosen class ${this.folder}`;
    this.refused = false;
  }

  poolKey(id) {
    return `mokopera pool ${this.folder} ${id}`;
  }

  get(key, storage = localStorage) {
    try {
      return storage.getItem(key);
    } catch {
      this.refused = true;
      return null;
    }
  }

  // Whether `value` could be kept.
  set(key, value, storage = localStorage) {
    try {
      storage.setItem(key, value);
      return true;
    } catch {
      this.refused = true;
      return false;
    }
  }

  // The classes, in the order they were made. The first visit after classes came makes 「１組」,
  // holding the pool that was kept before, as it was.
  classes() {
    try {
      const list = JSON.parse(this.get(this.listKey));
      if (Array.isArray(list) && list.length > 0) return list;
    } catch {
      // not a list: made afresh below
    }
    const first = [{ id: token(), name: "１組" }];
    const old = this.get(oldPoolKey);
    if (old) this.writePool(first[0].id, { generation: 0, codes: old });
    this.saveClasses(first);
    return first;
  }

  saveClasses(list) {
    return this.set(this.listKey, JSON.stringify(list));
  }

  // A class's pool as kept: {generation, codes}, or null.
  readPool(id) {
    try {
      const record = JSON.parse(this.get(this.poolKey(id)));
      return Number.isInteger(record?.generation) && typeof record.codes === "string" ? record : null;
    } catch {
      return null;
    }
  }

  writePool(id, record) {
    return this.set(this.poolKey(id), JSON.stringify(record));
  }

  removePool(id) {
    try {
      localStorage.removeItem(this.poolKey(id));
    } catch {
      this.refused = true;
    }
  }

  // The class this tab shows: its own choice (kept over a reload), else the one last chosen in any
  // tab, else the first.
  chosen(list) {
    const wanted = this.get(this.chosenKey, sessionStorage) ?? this.get(this.chosenKey);
    return list.find(({ id }) => id === wanted)?.id ?? list[0].id;
  }

  choose(id) {
    this.set(this.chosenKey, id, sessionStorage);
    this.set(this.chosenKey, id);
  }

  // `listener(what, id)` hears another tab's change: what is "classes", or "pool" with the class's id.
  listen(listener) {
    addEventListener("storage", ({ key }) => {
      if (key === this.listKey) listener("classes");
      const prefix = `mokopera pool ${this.folder} `;
      if (key?.startsWith(prefix)) listener("pool", key.slice(prefix.length));
      if (key === null) listener("classes");  // the whole storage cleared by the browser's settings
    });
  }
}
